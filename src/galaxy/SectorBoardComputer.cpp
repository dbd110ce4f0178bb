// The board computer console. Placeholder until its commands land: opening
// it only brings the map back.

#include "galaxy/Sector.h"

void Sector::boardComputer(ConLib* console, TutorialProgress* /*tutorial*/) { drawMap(console); }
