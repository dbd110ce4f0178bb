#pragma once
// Galaxies for the tests that need a whole galaxy file: made once per run with the game's own
// code, as the menu's N makes them, and copied into each test's folder with
// the ship placed where the test needs it.

#include <filesystem>
#include <string>

#include "console/ScreenGrid.h"

struct PlanetSpot {
    COORD planet;   // a planet of sector (0, 0)
    COORD beside;   // the free cell west of it: one step right lands there
};

// A planet of the template galaxy's sector (0, 0) with a free cell beside it.
PlanetSpot planetSpot();

// Writes `folder`/`name`.glx: the template galaxy with the ship at `shipCell`
// of sector (0, 0).
void installGalaxy(const std::filesystem::path& folder, const std::string& name, COORD shipCell);
