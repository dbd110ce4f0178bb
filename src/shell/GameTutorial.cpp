// The menu's T: the tutorial galaxy found and loaded, then the course.

#include <cstring>
#include <optional>
#include <string>

#include "screen/HelpFuncLib.h"
#include "shell/Game.h"
#include "shell/TutorialFolders.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

// Error boxes are as wide as their text and its margins.
constexpr int ERROR_MARGINS = 6;

const char* loadFailureText(LoadResult result) {
    if (result == LoadResult::NoFile) return "Tutorial galaxy Tutorial.glx cannot be opened!";
    return "Tutorial galaxy Tutorial.glx is damaged!";
}

}  // namespace

void Game::playTutorial() {
    const std::optional<std::string> found =
        findTutorialGalaxy(tutorialFolders.empty() ? tutorialGalaxyFolders() : tutorialFolders);
    const char* failure = "Tutorial galaxy Tutorial.glx not found!";
    if (found) {
        // The load changes neither the player nor the sector unless both
        // records are sound, so a failure leaves the galaxy in memory as it was.
        std::string candidate = *found;
        const char* before = sector.getwName();
        const Sector::Access accessBefore = sector.getAccess();
        // Only read, possibly from a folder nobody may write to: nothing is
        // written to it or beside it.
        sector.setwName(candidate.c_str(), Sector::Access::ReadOnly);
        const LoadResult result = sector.loadGame();
        if (result == LoadResult::Ok) {
            tutorialName = std::move(candidate);
            sector.setwName(tutorialName.c_str(), Sector::Access::ReadOnly);
            // The player's own galaxy was saved when its map was left; with
            // no name in play, nothing after the course can save or delete it.
            clearTable(worldName, 20);
            sector.StartTutorial(&console);
            return;
        }
        if (before != nullptr)
            sector.setwName(before, accessBefore);
        else
            sector.setwName(worldName);
        failure = loadFailureText(result);
    }
    showError(&console, static_cast<int>(std::strlen(failure)) + ERROR_MARGINS, failure);
}
