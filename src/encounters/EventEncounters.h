#pragma once
// The encounters the galaxy view runs into, each on its own short-lived
// Event. The game owns one and hands it to its sector.

#include "galaxy/Encounters.h"

class EventEncounters final : public Encounters {
public:
    void meteors(ConLib* console, Player* player, unsigned long durationMs) override;
    void randomBattle(ConLib* console, Player* player) override;
    bool bossFight(ConLib* console, Player* player) override;
    void bossVictory(ConLib* console, Player* player) override;
    void anotherDimension(ConLib* console, Player* player) override;
};
