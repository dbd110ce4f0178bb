// The hyperspace jump: its path length and energy cost, the timed path
// calculation that may find the target unreachable, and the jump itself.
// Everything is printed as console lines inside the board computer.

#include <cstdint>
#include <ostream>

#include "catalog/Amounts.h"
#include "screen/ConLib.h"
#include "catalog/Random.h"
#include "screen/Timer.h"
#include "player/Player.h"

namespace {

// The map's size in cells, the unit of a path.
constexpr std::int64_t ROWS_PER_SECTOR = 23;
constexpr std::int64_t COLUMNS_PER_SECTOR = 78;
// Calculation time: per sector across and down, per cell, in 10 ms units.
constexpr std::int64_t TIME_PER_SECTOR_X = 80;
constexpr std::int64_t TIME_PER_SECTOR_Y = 25;
constexpr std::int64_t TIME_UNIT_MS = 10;
// Only the best energy collector holds enough for the other dimension.
constexpr int DIMENSION_COST = 10000;
constexpr std::int64_t DIMENSION_TIME_MS = 120000;
constexpr unsigned PROGRESS_STEP_MS = 1000;

// Arguments come straight from typed text, so every term is 64 bits wide.
std::int64_t distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

struct JumpPlan {
    int cost = 1;
    std::int64_t timeMs = 0;
    bool reachable = false;
};

// One axis of the path: the cells to the sector's edge, the whole sectors
// between and the cells into the target sector.
std::int64_t axisPath(int shipSector, int targetSector, int shipCell, int targetCell, std::int64_t cellsPerSector) {
    const std::int64_t between = (distance(targetSector, shipSector) - 1) * cellsPerSector;
    if (shipSector > targetSector) return shipCell + between - targetCell + (cellsPerSector - 1);
    return between - shipCell + targetCell + (cellsPerSector - 1);
}

bool isOnMap(int column, int row) {
    return column >= MAP_FIRST_COLUMN && column <= MAP_LAST_COLUMN && row >= MAP_FIRST_ROW && row <= MAP_LAST_ROW;
}

}  // namespace

void Player::prepareJump(ConLib* console, int a1, int a2, int a3, int a4) {
    const bool toDimension = a1 == dim.X && a2 == dim.Y;
    JumpPlan plan;
    const std::int64_t path = axisPath(worldY, a2, rPos.Y, a4, ROWS_PER_SECTOR) +
                              axisPath(worldX, a1, rPos.X, a3, COLUMNS_PER_SECTOR);
    plan.cost = path / 2 > 0 ? clampToInt32(path / 2) : 1;
    plan.timeMs = (distance(a1, worldX) * TIME_PER_SECTOR_X + distance(a2, worldY) * TIME_PER_SECTOR_Y +
                   distance(a3, rPos.X) + distance(a4, rPos.Y)) *
                  TIME_UNIT_MS;
    if (toDimension) {
        plan.timeMs = DIMENSION_TIME_MS;
        plan.cost = DIMENSION_COST;
    }
    plan.reachable = toDimension || (isOnMap(a3, a4) && galaxy::isSectorCoord(a1) && galaxy::isSectorCoord(a2));

    std::ostream& out = console->out();
    out << "\n> Preparing for hyperspace jump\n" << '\n' << "> Calculating path\n" << '\n';

    // A jump to the ship's own cell takes no time: nothing to count down and
    // no moment to fail at, but the target is still checked below.
    if (plan.timeMs > 0) {
        const std::int64_t failAt = rng::rand() % plan.timeMs;
        Timer clock;
        clock.start();
        for (;;) {
            const std::int64_t elapsed = static_cast<std::int64_t>(clock.getElapsedTime());
            if (elapsed > plan.timeMs) break;
            if (elapsed >= failAt && !plan.reachable) break;
            out << "> " << elapsed * 100 / plan.timeMs << "% completed\r";
            console->sleep(PROGRESS_STEP_MS);
        }
    }
    if (!plan.reachable) {
        out << "> Error while clculating path, colision detected!\n\n" << "> Hyperspace jump not prepared!\n";
        return;
    }

    setHypData(a1, a2, a3, a4, plan.cost);
    out << "                 \r" << "> Completed!\n" << '\n' << "> Hyperspace jump prepared \n\n";
    out << "> Energy cost: " << plan.cost << '\n' << '\n';
    out << "> SectorX: " << a1 << " SectorY: " << a2 << '\n' << '\n';
    out << "> X: " << a3 << " Y: " << a4 << '\n';
}

bool Player::jump(ConLib* console) {
    // Nothing prepared: the board computer refuses before it gets here.
    if (!hyperJump) return false;
    const int cost = hypData[4];
    hyperJump = false;
    if (getaEnergy() < cost) {
        console->out() << "\n> Too low energy level!" << '\n';
        return false;
    }
    // The other dimension lies outside the galaxy: the ship stays where it
    // is, and the board computer starts that event.
    if (!(hypData[0] == dim.X && hypData[1] == dim.Y)) {
        worldX = hypData[0];
        worldY = hypData[1];
        rPos = Coord{static_cast<short>(hypData[2]), static_cast<short>(hypData[3])};
    }
    removeEnergy(cost);
    return true;
}

void Player::jumpInfo(ConLib* console) {
    std::ostream& out = console->out();
    if (!hyperJump) {
        out << "\n> Hyperspace jump not prepared!" << '\n';
        return;
    }
    out << "\n> Hyperspace jump info: " << "\n\n";
    out << "> Sector X: " << hypData[0] << "\n\n";
    out << "> Sector Y: " << hypData[1] << "\n\n";
    out << "> Position X: " << hypData[2] << "\n\n";
    out << "> Position Y: " << hypData[3] << "\n\n";
    out << "> Energy cost: " << hypData[4] << '\n';
}
