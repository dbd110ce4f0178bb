#pragma once
// Paths between the game's text, which is UTF-8 on every system, and the
// system's own form of a path (UTF-16 on Windows). A narrow string turned
// into a path directly would be read in the ANSI code page there.

#include <filesystem>
#include <string>

namespace platform {

inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path pathOfUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace platform
