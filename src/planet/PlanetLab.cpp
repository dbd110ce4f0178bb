// The laboratory of a rare planet: the scientist researches the ancient
// parts the player found. The fifth part of a ship-part kind becomes that
// kind's super-part, fitted at once; the fifth computer part reveals where
// the other dimension lies.

#include <array>
#include <string>

#include "catalog/Catalog.h"
#include "screen/ConLib.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

constexpr const char* LAB_TITLE = "LABORATORY";
constexpr unsigned KEY_FIRST_KIND = '1';
constexpr unsigned KEY_BACK = 'E';
// Researches before the one that constructs the part (or reveals the dimension).
constexpr int PARTIAL_RESEARCHES = 4;

// What the laboratory says about each ancient-part kind.
struct KindTexts {
    const char* option;
    const char* partial;
    const char* constructed;  // null for the computer parts
};

constexpr std::array<KindTexts, ANCIENT_KINDS> KIND_TEXTS{{
    {"\n1 - Yes, i have some ancient hull parts.",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole ancient hull from it!\"\n\n"
     "E - Back",
     "Sciencist: \"After long resarch we constructed ancient ship hull!\"\n\nE - Back"},
    {"\n2 - Can you take a look on this fuel tank?",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole ancient fuel tank from it!\"\n\n"
     "E - Back",
     "Sciencist: \"After long resarch we constructed ancient ship fuel tank!\"\n\nE - Back"},
    {"\n3 - This engine should work? I'm right?",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole ancient engine from it!\"\n\n"
     "E - Back",
     "Sciencist: \"After long resarch we constructed ancient ship engine!\"\n\nE - Back"},
    {"\n4 - Shield generator is wwhat i need.",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole ancient shield generator from "
     "it!\"\n\nE - Back",
     "Sciencist: \"After long resarch we constructed ancient shield generator!\"\n\nE - Back"},
    {"\n5 - Maybe more energy? I have this energy collector parts.",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole ancient energy collector from "
     "it!\"\n\nE - Back",
     "Sciencist: \"After long resarch we constructed ancient energy collector!\"\n\nE - Back"},
    {"\n6 - I want to build great and powerful weapon!",
     "Sciencist: \"We resarched this part, but we need more of it to construct whole great and powerfull weapon from "
     "it!\"\n\nE - Back",
     "Sciencist: \"After long resarch we constructed great and powerful weapon!\"\n\nE - Back"},
    {"\n7 - I have strange computer parts. Can you restore info from it?",
     "Sciencist: \"We recover some info about another dimension, but we need more parts of this computer to recover "
     "whole info!\"\n\nE - Back",
     nullptr},
}};

constexpr const char* OFFER_TEXT = "Sciencist: \"Do you want to do some resarch?\"\n";
constexpr const char* DECLINE_LINE = "\nE - No this time, sorry.";
constexpr const char* NOTHING_TEXT =
    "Sciencist: \"You don't have anything that can interest us. Come back if you\nfound something interesting to "
    "resarch\"\n\nE - Back";

std::string labText(const Player& player) {
    std::string text;
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind)
        if (player.getaParts(kind) > 0) text += KIND_TEXTS[static_cast<std::size_t>(kind)].option;
    if (text.empty()) return NOTHING_TEXT;
    return OFFER_TEXT + text + DECLINE_LINE;
}

std::string dimensionText(Coord dim) {
    return "Sciencist: \"After long resarch we recovered whole information about another dimension! It have "
           "following coordinates: SectorX: " +
           std::to_string(dim.X) + ", SectorY: " + std::to_string(dim.Y) +
           "\nPosition X and Y you can choose yourself. Use your hyperspace jump engine to go to this strange "
           "dimansion. Good luck!\"\n\nE - Back";
}

// The super-part replaces the fitted part, whose half value the player gets.
// Health, and for generators and collectors the new capacity, fill at once.
void fitSuperPart(ConLib* console, Player& player, int slot) {
    const ShipPart* old = catalogPart(slot, player.getPartId(slot));
    player.addCredits(old->getValue() / 2);
    player.fitPart(slot, SUPER_PART_ROW);
    player.countMaxHealth();
    player.addHealth(catalogPart(slot, SUPER_PART_ROW)->getHealth());
    if (slot == SLOT_SHIELD) player.addShield(shields[SUPER_PART_ROW]->getShield());
    if (slot == SLOT_COLLECTOR) player.addEnergy(enCol[SUPER_PART_ROW]->getEnergy());
    player.checkCashVictory(console);
}

void showLabWindow(ConLib* console, const std::string& text) {
    Planet::showScreenWindow(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, LAB_TITLE, text.c_str());
    console->SetTextColor(7);
    console->SetPosition(Coord{0, 0});
}

}  // namespace

void Planet::RedrawLab(ConLib* console, Player* player) { showLabWindow(console, labText(*player)); }

void Planet::Lab(ConLib* console, Player* player, TutorialProgress* /*tutorial*/) {
    RedrawLab(console, player);
    for (;;) {
        const unsigned key = console->GetKey();
        if (key == KEY_BACK) {
            RedrawPanel(console);
            return;
        }
        if (key >= KEY_FIRST_KIND && key < KEY_FIRST_KIND + ANCIENT_KINDS) {
            const short kind = static_cast<short>(key - KEY_FIRST_KIND);
            if (player->getaParts(kind) > 0) resarch(console, player, kind);
        }
    }
}

void Planet::resarch(ConLib* console, Player* player, short kind) {
    // Each research uses up a part: without one there is nothing to research.
    if (player == nullptr || player->getaParts(kind) < 1) return;
    const int level = player->getResarch(kind);
    const KindTexts& texts = KIND_TEXTS[static_cast<std::size_t>(kind)];
    player->setaParts(kind, player->getaParts(kind) - 1);
    // A level already at 5 stays there; every later part constructs again.
    player->setResarch(kind, level + 1);

    std::string message;
    if (level < PARTIAL_RESEARCHES)
        message = texts.partial;
    else if (kind == ANCIENT_KIND_KNOWLEDGE)
        message = dimensionText(player->getDim());
    else {
        fitSuperPart(console, *player, kind);
        message = texts.constructed;
    }
    showLabWindow(console, message);
    while (console->GetKey() != KEY_BACK) {
    }
    RedrawLab(console, player);
}
