#include "shell/TutorialFolders.h"

#include <optional>

#include "platform/Process.h"

#ifndef STARHOLLOW_DATADIR
#define STARHOLLOW_DATADIR "/usr/local/share/starhollow"
#endif

namespace fs = std::filesystem;

std::vector<fs::path> tutorialGalaxyFolders() {
    std::vector<fs::path> folders{fs::path(".")};
    if (const std::optional<fs::path> program = platform::programFile()) {
        folders.push_back(program->parent_path());
        // Installed under any prefix: the data folder as seen from the
        // program's own folder, wherever the installation was moved.
        folders.push_back((program->parent_path() / STARHOLLOW_DATADIR_FROM_BINDIR).lexically_normal());
    }
    folders.emplace_back(STARHOLLOW_DATADIR);
    return folders;
}
