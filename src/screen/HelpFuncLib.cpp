#include "screen/HelpFuncLib.h"

#include <filesystem>

#include "screen/ConLib.h"

int foundMiddle(int total, int size) { return total / 2 - size / 2; }

bool compareText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return std::strcmp(a, b) == 0;
}

bool fileExist(const char* name) {
    if (name == nullptr || *name == '\0') return false;
    // Anything standing under that name counts, readable or not, so that a
    // new galaxy can never replace it.
    std::error_code error;
    return std::filesystem::symlink_status(name, error).type() != std::filesystem::file_type::not_found &&
           !error;
}

bool isKeyPressed(unsigned int timeout) {
    ConLib* console = ConLib::current();
    return console != nullptr && console->keyWaiting(timeout);
}
