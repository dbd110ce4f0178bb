#include "presenters/ScreenNotice.h"

std::vector<std::string> smallScreenNotice(int width, int height) {
    return {"Starhollow needs a terminal of at least 80 x 25.",
            "This one is " + std::to_string(width) + " x " + std::to_string(height) + ": please enlarge the window."};
}
