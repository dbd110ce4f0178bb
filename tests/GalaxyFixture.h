#pragma once
// The whole game on a headless console, and galaxies for the tests that need
// a whole galaxy file: made once per run with the game's own code, as the
// menu's N makes them, and copied into each test's folder with the ship
// placed where the test needs it.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "presenters/headless/HeadlessBackend.h"
#include "screen/ScreenGrid.h"
#include "shell/Game.h"

// A game whose keys come from the test; everything its screen showed is kept.
struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
    std::string shown;

    HeadlessGame() {
        screen->onPresent = [this](const HeadlessBackend& s) { shown += s.dump(); };
    }
    ConLib* con() { return &game.getConsole(); }
    bool showed(std::string_view text) const { return shown.find(text) != std::string::npos; }
};

struct PlanetSpot {
    Coord planet;   // a planet of sector (0, 0)
    Coord beside;   // the free cell west of it: one step right lands there
};

// A planet of the template galaxy's sector (0, 0) with a free cell beside it.
PlanetSpot planetSpot();

// Writes `folder`/`name`.glx: the template galaxy with the ship at `shipCell`
// of sector (0, 0).
void installGalaxy(const std::filesystem::path& folder, const std::string& name, Coord shipCell);
