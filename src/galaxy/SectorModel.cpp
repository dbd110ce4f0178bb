// The sector's planets, its hidden ancient part and the pirates planet.

#include <cmath>
#include <utility>

#include "screen/ConLib.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

// Every slot starts as a planet of sector (0, 0), generated in slot order.
template <std::size_t... Slot>
std::array<Planet, sizeof...(Slot)> planetsOfSectorZero(std::index_sequence<Slot...>) {
    return {((void)Slot, Planet(0, 0))...};
}

// Ancient parts may lie on any cell the ship can reach.
constexpr int PART_MIN_COLUMN = 1, PART_MAX_COLUMN = 78;
constexpr int PART_MIN_ROW = 1, PART_MAX_ROW = 23;

int drawBetween(int low, int high) { return rng::rand() % (high - low + 1) + low; }

}  // namespace

Sector::Sector(int x, int y, Player* p, const char* name)
    : planets(planetsOfSectorZero(std::make_index_sequence<MAX_PLANETS>{})) {
    genPlanets(x, y);
    player = p;
    secX = x;
    secY = y;
    wName = name;
}

void Sector::genSector(int x, int y) {
    genPlanets(x, y);
    secX = x;
    secY = y;
    epPos = Coord{-1, -1};
}

void Sector::genPlanets(int x, int y) {
    number = rng::rand() % (MAX_PLANETS + 1);
    // A planet that does not stand clear of the ones before it is generated
    // again whole, with all its draws: the order of the draws decides the
    // whole galaxy that a seed gives.
    for (int i = 0; i < number; ++i) {
        do planets[i] = Planet(x, y);
        while (planetExist(i) || planetIsNear(i));
    }
}

void Sector::setNumber(int n) {
    if (n >= 0 && n <= MAX_PLANETS) number = n;
}

void Sector::setwName(const char* name, Access galaxyAccess) {
    if (name == nullptr) return;
    wName = name;
    access = galaxyAccess;
}

void Sector::setPlayer(Player* p) {
    if (p != nullptr) player = p;
}

Planet* Sector::getPlanet(int x, int y) {
    for (int i = 0; i < number; ++i)
        if (planets[i].getrX() == x && planets[i].getrY() == y) return &planets[i];
    return nullptr;
}

Planet* Sector::getPlanet(int i) {
    if (i < 0 || i >= number) return nullptr;
    return &planets[i];
}

bool Sector::planetExist(int i) const {
    if (i < 1 || i >= MAX_PLANETS) return false;
    for (int j = 0; j < i; ++j)
        if (planets[j].getrX() == planets[i].getrX() && planets[j].getrY() == planets[i].getrY()) return true;
    return false;
}

bool Sector::planetIsNear(int i) const {
    if (i < 1 || i >= MAX_PLANETS) return false;
    const int x = planets[i].getrX();
    const int y = planets[i].getrY();
    for (int j = 0; j < i; ++j) {
        // A neighbouring column or row is too close, whatever the other coordinate.
        const int otherX = planets[j].getrX();
        const int otherY = planets[j].getrY();
        if (otherX == x - 1 || otherX == x + 1 || otherY == y - 1 || otherY == y + 1) return true;
    }
    return false;
}

Planet* Sector::getNearestPlanet() {
    if (player == nullptr || number == 0) return nullptr;
    const int shipX = player->getrX();
    const int shipY = player->getrY();
    // Whole distances: planets whose distances truncate alike count as equally near.
    auto distance = [&](const Planet& planet) {
        const double dx = shipX - planet.getrX();
        const double dy = shipY - planet.getrY();
        return static_cast<int>(std::sqrt(dx * dx + dy * dy));
    };
    int nearest = 0;
    int best = distance(planets[0]);
    for (int i = 1; i < number; ++i) {
        const int d = distance(planets[i]);
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return &planets[nearest];
}

bool Sector::setaPart(short kind) {
    if (aPartKind != NO_PART) return false;
    if (kind < 0 || kind >= PART_KINDS) return false;
    do {
        aPartPos.X = static_cast<short>(drawBetween(PART_MIN_COLUMN, PART_MAX_COLUMN));
        aPartPos.Y = static_cast<short>(drawBetween(PART_MIN_ROW, PART_MAX_ROW));
    } while (getPlanet(aPartPos.X, aPartPos.Y) != nullptr);
    aPartKind = kind;
    return true;
}

bool Sector::isOnPart(int x, int y) const {
    return aPartKind != NO_PART && aPartPos.X == x && aPartPos.Y == y;
}

void Sector::genEnemyPlanet() {
    do {
        epPos.X = static_cast<short>(drawBetween(Planet::MIN_COLUMN, Planet::MAX_COLUMN));
        epPos.Y = static_cast<short>(drawBetween(Planet::MIN_ROW, Planet::MAX_ROW));
    } while (getPlanet(epPos.X, epPos.Y) != nullptr || isOnPart(epPos.X, epPos.Y));
}

bool Sector::isOnEP(int x, int y) const { return hasEnemyPlanet() && epPos.X == x && epPos.Y == y; }

void Sector::drawBonuses(ConLib* console) const {
    console->SetTextColor(1);
    if (aPartKind != NO_PART) {
        console->SetPosition(aPartPos);
        console->OutputString("*");
    }
    if (hasEnemyPlanet()) {
        console->SetPosition(epPos);
        console->OutputString("O");
    }
}
