#pragma once
// The tutorial run on the galaxy a sector holds. `Sector::StartTutorial`
// runs it on a fresh course; the parts here let a course be run from any
// stage, and the scripted fight with any fight.

#include <functional>

class ConLib;
class Player;
class Sector;
class TutorialManager;

// The course from its current stage, on the sector's galaxy and player,
// until Esc, the end of the course or the loss of the ship.
void runTutorial(Sector& sector, ConLib* console, TutorialManager& course);

// Where the scripted fight leaves the ship, and with how much fuel: three
// steps, the last of which empties the tank.
constexpr short TUTORIAL_FIGHT_END_X = 35;
constexpr short TUTORIAL_FIGHT_END_Y = 15;
constexpr int TUTORIAL_FUEL_AFTER_FIGHT = 3;
constexpr int TUTORIAL_FIGHT_AMMO = 100;

// Runs `fight` until the ship comes out of it with health left; before each
// try the ship is repaired completely and holds exactly 100 ammunition.
void fightUntilSurvived(Player& player, const std::function<void()>& fight);
