#pragma once
// Console output as text, for tests of screens that print lines: what the
// screen shows, and what an output of whole lines shows on a cleared screen.
// Blanks at the ends of rows and empty rows at the bottom are left out.

#include <sstream>
#include <string>
#include <vector>

#include "screen/ConLib.h"

namespace consoletext {

inline std::string trimRight(std::string line) { return line.erase(line.find_last_not_of(' ') + 1); }

inline std::string joinLines(std::vector<std::string> rows) {
    for (std::string& row : rows) row = trimRight(row);
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i) text += (i > 0 ? "\n" : "") + rows[i];
    return text;
}

inline std::string shown(const ConLib& con) {
    std::vector<std::string> rows;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) rows.push_back(con.grid().row(y));
    return joinLines(rows);
}

inline std::string asShown(const std::string& output) {
    std::vector<std::string> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    return joinLines(rows);
}

}  // namespace consoletext
