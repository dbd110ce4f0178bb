// Builds the tutorial galaxy file with the game's own generator and record
// writers; the build runs it, so the file always matches the save format.
//   make_tutorial_galaxy OUTPUT.glx

#include <iostream>

#include "tutorial/TutorialGalaxy.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_tutorial_galaxy OUTPUT.glx\n";
        return 2;
    }
    if (!writeTutorialGalaxy(argv[1])) {
        std::cerr << "make_tutorial_galaxy: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
