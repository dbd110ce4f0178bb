#pragma once
// One planet of a sector: its place, name and population, its laboratory,
// its stocks of the 15 trade goods and the facilities that turn two goods
// into a third. Planets are plain values; the sector copies them freely.

#include <array>
#include <string_view>

#include "screen/Window.h"
#include "storage/SaveRecords.h"
#include "planet/Refusal.h"

// Dock: what its screens are given.
class ConLib;
class Player;
class TutorialProgress;

class Planet {
public:
    static constexpr int GOOD_COUNT = 15;
    static constexpr int MAX_FACILITIES = 5;
    static constexpr int MAX_INPUTS = 2 * MAX_FACILITIES;
    static constexpr int STOCK_CAPACITY = 1000;
    static constexpr int NAME_SIZE = 6;  // up to 5 letters and a terminating zero
    static constexpr int NO_GOOD = 15;   // a facility output that names no good
    static constexpr int NO_INPUT = -1;
    // Units a facility takes from each input and adds to its output per tick.
    static constexpr int BATCH = 5;
    // Map cells where planets are generated.
    static constexpr int MIN_COLUMN = 2, MAX_COLUMN = 77;
    static constexpr int MIN_ROW = 2, MAX_ROW = 22;

    // The two goods a facility consumes to make `output`; both NO_INPUT for
    // raw materials and for NO_GOOD (or any number outside 0..15).
    struct Recipe {
        short first = NO_INPUT;
        short second = NO_INPUT;
    };
    static Recipe recipeOf(int output);

    // ---- Generation and economy --------------------------------------------

    // Generates a new planet of the sector at those sector coordinates.
    Planet(int sectorX, int sectorY);

    int genPos(bool horizontal);
    bool genRarity();
    void genName(std::array<char, NAME_SIZE>& buffer);
    void genGoods(std::array<int, GOOD_COUNT>& stocks);
    void genFacilities();

    // One production step: every facility that can, consumes, then every
    // facility that consumed (or needs nothing) produces.
    void tick();

    // ---- Accessors -----------------------------------------------------------

    int getrX() const { return rX; }
    int getrY() const { return rY; }
    int getgX() const { return gX; }
    int getgY() const { return gY; }
    void setrX(int x) { rX = static_cast<short>(x); }
    void setrY(int y) { rY = static_cast<short>(y); }
    void setgX(int x) { gX = static_cast<short>(x); }
    void setgY(int y) { gY = static_cast<short>(y); }

    bool getRarity() const { return rarity; }
    void setRarity(bool rare) { rarity = rare; }

    int getPopulation() const { return population; }

    // 0 for a number that names no good.
    int getGood(int good) const;
    // Ignored unless good is 0..14 and count is 0..1000.
    void setGood(int good, int count);

    const char* getName() const { return name.data(); }
    // Ignored for a text longer than 5 characters.
    void setName(std::string_view text);

    int getFacilityCount() const { return facilityCount; }
    int getInputCount() const { return inputCount; }
    // 0 for k outside 0..4 (unused entries are 0 as well).
    int getFacilityOutput(int k) const;
    // 0 for i outside 0..9.
    int getFacilityInput(int i) const;

    // ---- Landing panel and hangar (PlanetPanel.cpp, PlanetHangar.cpp) -------------
    // Colours of the planet screens, and of the prompts and messages over them.
    static constexpr unsigned short SCREEN_BACKGROUND = 2;
    static constexpr unsigned short SCREEN_TEXT = 0;
    static constexpr unsigned short BOX_BACKGROUND = 7;
    static constexpr unsigned short BOX_TEXT = 1;

    // Lets the facilities work 0 to 3 ticks, then runs the landing panel
    // until the player departs with fuel for one step. Always 0: the ship
    // has left the planet.
    int ShowPanel(ConLib* console, Player* player, TutorialProgress* tutorial);
    void RedrawPanel(ConLib* console);
    // Fuel, ammunition, energy and repairs at fixed prices. Leaving with "E"
    // redraws the landing panel. The tutorial manager is not used here.
    void HangarPanel(ConLib* console, Player* player, TutorialProgress* tutorial);
    void RedrawHangarPanel(ConLib* console, Player* player);
    // One purchase each: an amount typed, capped to what fits, confirmed with Y.
    void BuyFuel(ConLib* console, Player* player);
    void BuyAmmo(ConLib* console, Player* player);
    // Ends by charging the shield from stored energy, whatever the answer.
    void ChargeEnergy(ConLib* console, Player* player);
    void Repair(ConLib* console, Player* player);

    // Helpers the planet screens share.
    // A window in the planet screens' colours.
    static void showScreenWindow(ConLib* console, int column, int row, int width, int height, const char* title,
                                 const char* text);
    // A centred prompt box (red on white) that does not wait; the box is
    // returned for the field of the answer.
    static Window showPromptBox(ConLib* console, int width, int height, const char* title, const char* text);
    // A centred prompt box asking Y or N; true for Y.
    static bool askYesNo(ConLib* console, int width, int height, const char* title, const char* text);
    // A centred box 5 high that stays until any key is pressed.
    static void showNotice(ConLib* console, const char* title, const char* text, int width);
    // The centred ERROR box of a refusal, closed by any key.
    static void showRefusal(ConLib* console, const Refusal& refusal);
    // A whole number typed at that cell of the prompt box, echoed red on
    // white; typing stops at the box's frame. Text that is not a number
    // reads as 0.
    static int readAmount(ConLib* console, const Window& prompt, int column, int row);

    // ---- Market (PlanetMarket.cpp) -----------------------------------------------
    // Price of one unit of `good` when the planet holds `count` of it; the
    // other goods are priced at the planet's own stocks. At least 2 for
    // every good; 0 for a number that names no good.
    int getGoodPrice(int good, int count) const;
    // The market. Leaving it with "E" redraws the landing panel.
    void TradePanel(ConLib* console, Player* player, TutorialProgress* tutorial);
    void RedrawTrade(ConLib* console, Player* player);
    // One purchase or sale of a good, asked for by product number and count.
    void Buy(ConLib* console, Player* player);
    void Sell(ConLib* console, Player* player);

    // ---- Dock (PlanetDock.cpp) ---------------------------------------------------
    // The ship-part shop, the same on every planet: one tab per part slot,
    // models 1 to 14 of each table. Leaving it with "E" redraws the landing
    // panel. The tutorial manager is not used here.
    void DockPanel(ConLib* console, Player* player, TutorialProgress* tutorial);
    static void RedrawDockPanel(ConLib* console, Player* player, int tab);
    // One exchange of a fitted part; `tab` is the tab redrawn behind the windows.
    static void ChangeShipPart(ConLib* console, Player* player, int tab);

    // ---- Laboratory (PlanetLab.cpp) ---------------------------------------------
    // Rare planets research ancient parts into super-parts. Leaving it with
    // "E" redraws the landing panel. The tutorial is not used here.
    void Lab(ConLib* console, Player* player, TutorialProgress* tutorial);
    static void RedrawLab(ConLib* console, Player* player);
    // Researches one part of the kind 0..6 and shows the result.
    static void resarch(ConLib* console, Player* player, short kind);

    // ---- Save records --------------------------------------------------------

    void SaveToFile(savePlanetData* data) const;
    // Refuses a damaged record (false, planet unchanged).
    bool LoadFromFile(const savePlanetData* data);
    // True when the record holds a planet the game can use safely.
    static bool isSoundRecord(const savePlanetData& data);

private:
    static bool isGood(int good) { return good >= 0 && good < GOOD_COUNT; }
    // Takes the inputs of facility k when it can work; true when it works.
    bool consumeInputs(int k);
    void produceOutput(int k);

    short rX = 0;
    short rY = 0;
    short gX = 0;
    short gY = 0;
    int population = 0;
    bool rarity = false;
    std::array<char, NAME_SIZE> name{};
    std::array<int, GOOD_COUNT> goods{};
    short facilityCount = 0;
    std::array<short, MAX_FACILITIES> facilityOutput{};
    short inputCount = 0;
    std::array<short, MAX_INPUTS> facilityInputs{};
};
