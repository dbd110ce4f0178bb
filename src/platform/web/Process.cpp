#include "platform/Process.h"

#include <emscripten.h>

// clang-format off
// A number for this opening of the page, of at most nine digits as the
// creation's working names want.
EM_JS(double, pageOpeningNumber, (), { return 1 + Math.floor(Math.random() * 899999999); });
// clang-format on

namespace platform {

// The page is the only process: a second tab is refused while one plays.
long currentProcessId() {
    static const long id = static_cast<long>(pageOpeningNumber());
    return id;
}

// Whatever an earlier opening of the page left behind was left by a page
// that is gone.
bool processAlive(long pid) { return pid == currentProcessId(); }

std::optional<std::filesystem::path> programFile() { return std::nullopt; }

// A page served without special headers has no SharedArrayBuffer, so no threads.
bool threadsAvailable() { return false; }

}  // namespace platform
