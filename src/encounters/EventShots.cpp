// The shots of both sides: at a pirate ship or at the pirates planet, and
// from either at the player. Damage takes the shield first; what gets past
// it hurts the hull (twice over for a rocket).

#include <algorithm>
#include <string>

#include "catalog/Ship.h"
#include "screen/ConLib.h"
#include "catalog/Random.h"
#include "encounters/Event.h"
#include "player/Player.h"

namespace {

constexpr int DODGE_BASE = 50;
constexpr int ION_ENERGY = 10;
constexpr int ROCKET_AMMO = 10;
constexpr int SHOT_AMMO = 1;


// Laser, ion canon and rocket miss on rolls up to the target's dodge figure.
int dodgeFigure(const Ship& target) { return DODGE_BASE - target.getEngine()->getSpeed(); }
bool hits(int type, int rolled, const Ship& target) { return type == SHOT_BEAM || rolled > dodgeFigure(target); }

bool isShotType(int type) { return type >= SHOT_LASER && type <= SHOT_BEAM; }

// The damage a shot of that type does with a weapon of damage d.
int shotDamage(int type, int d) { return type == SHOT_BEAM ? d / 2 : d; }

// How the messages name each weapon: once when only the shield was hit, once
// when the hull was (the laser's first ending has its blank before the "!").
struct Wording {
    const char* shieldOnly;
    const char* reachedHull;
};

Wording wordingOf(int type) {
    switch (type) {
        case SHOT_LASER: return {"laser !", "laser!"};
        case SHOT_ROCKET: return {"rocket!", "rocket!"};
        default: return {"beam weapon!", "beam weapon!"};
    }
}

const char* missText(int type, bool byPlayer) {
    switch (type) {
        case SHOT_LASER: return byPlayer ? "You missed enemy with laser shot!" : "Enemy missed you with laser shot!";
        case SHOT_ION_CANON: return byPlayer ? "You missed enemy with ion canon!" : "Enemy missed you with ion canon!";
        default: return byPlayer ? "You missed enemy with rocket!" : "Enemy missed you with rocket!";
    }
}

// A hit split between shield and hull, shield first. `hitShield` takes shield
// and lets the target recharge it; `hitHull` takes health.
template <typename ShieldHit, typename HullHit>
std::string shieldFirst(const Ship& target, int damage, int type, ShieldHit hitShield, HullHit hitHull) {
    using std::to_string;
    const Wording wording = wordingOf(type);
    const int shield = target.getaShield();
    if (shield >= damage) {
        hitShield(damage);
        return to_string(damage) + " shield with " + wording.shieldOnly;
    }
    int rest = damage;
    if (shield >= 1) {
        hitShield(shield);
        rest = damage - shield;
    }
    // A rocket's blast past the shield counts twice.
    const int hullDamage = type == SHOT_ROCKET ? 2 * rest : rest;
    const int before = target.getaHealth();
    hitHull(hullDamage);
    const std::string health = to_string(before - target.getaHealth()) + " health with " + wording.reachedHull;
    return shield >= 1 ? to_string(shield) + " shield and " + health : health;
}

bool canPay(const Ship& ship, int type) {
    switch (type) {
        case SHOT_ION_CANON: return ship.getaEnergy() >= ION_ENERGY;
        case SHOT_ROCKET: return ship.getAmmo() >= ROCKET_AMMO;
        default: return ship.getAmmo() >= SHOT_AMMO;
    }
}

// What a shot costs its ship, hit or miss; an amount the ship lacks is not taken.
void pay(Ship& ship, int type) {
    switch (type) {
        case SHOT_ION_CANON: ship.removeEnergy(ION_ENERGY); break;
        case SHOT_ROCKET: ship.removeAmmo(ROCKET_AMMO); break;
        default: ship.removeAmmo(SHOT_AMMO); break;
    }
}

// The ion canon only ever hurts a shield: twice the weapon's damage.
template <typename ShieldHit>
std::string ionHit(const Ship& target, int damage, const char* prefix, const char* noShieldText, ShieldHit hitShield) {
    const int shield = target.getaShield();
    if (shield <= 0) return noShieldText;
    const int dealt = std::min(shield, 2 * damage);
    hitShield(2 * damage);
    return std::string(prefix) + std::to_string(dealt) + " shield with ion canon!";
}

}  // namespace

int Event::roll() { return rng::rand() % ROLL_SIDES + 1; }

void Event::playerShot(ConLib* console, Ship* enemy, int* planetHealth, Player* player, int type) {
    const int d = player->getWeapon()->getDmg();
    if (enemy != nullptr && isShotType(type)) {
        std::string message;
        if (!hits(type, roll(), *enemy)) {
            message = missText(type, true);
        } else if (type == SHOT_ION_CANON) {
            message = ionHit(*enemy, d, "You hit enemy for ",
                             "You tried to hit enemy with ion canon, but enemy don't have shield!", [&](int n) {
                                 enemy->removeShield(n);
                                 enemy->chargeShield();
                             });
        } else {
            message = "You hit enemy for " + shieldFirst(
                                                 *enemy, shotDamage(type, d), type,
                                                 [&](int n) {
                                                     enemy->removeShield(n);
                                                     enemy->chargeShield();
                                                 },
                                                 [&](int n) { enemy->removeHealth(n); });
        }
        pay(*player, type);
        redrawBattle(console, enemy, player, message.c_str());
    } else if (enemy == nullptr && planetHealth != nullptr && player->getAmmo() >= SHOT_AMMO &&
               (type == SHOT_LASER || type == SHOT_ROCKET || type == SHOT_BEAM)) {
        // The planet neither dodges nor shields; a beam loses nothing on it.
        const int damage = type == SHOT_ROCKET ? 2 * d : d;
        *planetHealth = *planetHealth > damage ? *planetHealth - damage : 0;
        pay(*player, type);
        const std::string message =
            "You hit enemy for " + std::to_string(damage) + " health with " + wordingOf(type).reachedHull;
        redrawBossFight(console, player, *planetHealth, message.c_str());
    }
    // Ammunition weighs, so every shot changes the ship's weight.
    player->countShipWeight();
}

int Event::enemyShot(ConLib* console, Ship* enemy, int planetHealth, Player* player, EnemyCargo* cargo, int type) {
    const bool fromPlanet = enemy == nullptr;
    auto show = [&](const std::string& message) {
        if (fromPlanet)
            redrawBossFight(console, player, planetHealth, message.c_str());
        else
            redrawBattle(console, enemy, player, message.c_str());
    };
    auto recountWeight = [&] {
        if (enemy != nullptr && cargo != nullptr) countEnemyWeight(enemy, *cargo);
    };
    if (!isShotType(type)) {
        recountWeight();
        return 0;
    }
    // The planet counts no ammunition or energy.
    if (!hits(type, roll(), *player)) {
        if (!fromPlanet) pay(*enemy, type);
        show(missText(type, false));
        recountWeight();
        return 0;
    }
    if (!fromPlanet && !canPay(*enemy, type)) {
        recountWeight();
        return 0;
    }
    if (!fromPlanet) pay(*enemy, type);
    const int d = fromPlanet ? PLANET_DAMAGE : enemy->getWeapon()->getDmg();
    auto hitShield = [&](int n) { playerHitShield(console, player, nullptr, n, -1); };
    auto hitHull = [&](int n) { playerHitHealth(console, player, nullptr, n, -1); };
    std::string message;
    if (type == SHOT_ION_CANON)
        message = ionHit(*player, d, "Enemy hit you for ",
                         "Enemy tried to hit you with ion canon, but you don't have shield!", hitShield);
    else
        message = "Enemy hit you for " + shieldFirst(*player, shotDamage(type, d), type, hitShield, hitHull);
    show(message);
    recountWeight();
    return 1;
}
