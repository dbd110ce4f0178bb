#include "encounters/EventEncounters.h"

#include "encounters/Event.h"

void EventEncounters::meteors(ConLib* console, Player* player, unsigned long durationMs) {
    Event().meteors(console, player, durationMs);
}

void EventEncounters::randomBattle(ConLib* console, Player* player) { Event().randomBattle(console, player); }

bool EventEncounters::bossFight(ConLib* console, Player* player) { return Event().bossFight(console, player); }

void EventEncounters::bossVictory(ConLib* console, Player* player) { Event().winBossFight(console, player); }

void EventEncounters::anotherDimension(ConLib* console, Player* player) {
    Event().anotherDimension(console, player);
}
