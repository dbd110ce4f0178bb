#pragma once
// Console output as text, for tests of screens that print lines: what the
// screen shows, and what a given output would show on a cleared screen.

#include <string>
#include <string_view>
#include <vector>

#include "console/ConLib.h"

namespace consoletext {

inline std::string trimRight(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

inline std::string joinLines(std::vector<std::string> lines) {
    for (std::string& line : lines) line = trimRight(line);
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\n" : "") + lines[i];
    return text;
}

// The rows of the live grid, blanks at their ends and empty rows at the
// bottom left out.
inline std::string shown(const ConLib& con) {
    std::vector<std::string> rows;
    for (int y = 0; y < SCREEN_HEIGHT; ++y) rows.push_back(con.grid().row(y));
    return joinLines(rows);
}

// What `output` leaves on a cleared screen wide enough for its lines: line
// ends start a new row, "\r" writes over the row from its start.
inline std::string asShown(std::string_view output) {
    std::vector<std::string> rows(1);
    std::size_t column = 0;
    for (char ch : output) {
        if (ch == '\n') {
            rows.emplace_back();
            column = 0;
        } else if (ch == '\r') {
            column = 0;
        } else {
            std::string& row = rows.back();
            if (column < row.size())
                row[column] = ch;
            else
                row.push_back(ch);
            ++column;
        }
    }
    return joinLines(rows);
}

}  // namespace consoletext
