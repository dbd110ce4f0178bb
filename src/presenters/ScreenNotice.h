#pragma once
// What a presenter shows instead of the game while the screen it has is
// smaller than the game's: the lines of the notice, for a screen of that size.

#include <string>
#include <vector>

std::vector<std::string> smallScreenNotice(int width, int height);
