#include "tutorial/Tutorial.h"

#include <algorithm>
#include <array>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "screen/Window.h"

namespace {

struct StageTexts {
    const char* info;
    const char* journal;
};

// The whole course, in the order the player meets it; a stage's id is its
// place here. Each text leads into its stage; the long first lines rely on
// the window's word wrap.
constexpr std::array<StageTexts, TUTORIAL_STAGE_COUNT> COURSE{{
    // 0
    {
        "Welcome our new cadet! As you can see we're in space station on the EARTH. Here we're safe, but "
        "space is dangerous, so you should lern some important\n"
        "things before you fly away. First of all things you should learn is how to\n"
        "control your ship. To fly in space use arrow keys. Keys \"1\" and \"2\" show\n"
        "your inventry tabs. Click \"1\" to show trade goods tab and \"2\" to show your\n"
        "ancient ship parts tab. You can close most tabs and windows pressing any\n"
        "key. You can also check current mission in your journal. To do this press \"J\" key.\n\n"
        "Now go to your ship and check what you have...\n\nPress ENTER to continue...",
        "Check what you have in ship by pressing \"1\" key."},
    // 1
    {
        "Good! As you saw you don't have any trade goods. Trade goods are used only to earn credits. It "
        "means that you can't do with them anything else than\nsell or buy them.\n\n"
        "Now check ancient ship parts tab by pressing \"2\" key.\n\nPress ENTER to continue...",
        "Check ancient ship parts tab by pressing \"2\" key."},
    // 2
    {
        "Excelent! In ancient ship parts tab you can see types of ancient parts and two numbers next to "
        "each type. First number shows how many parts you have\n"
        "already had. Second number shows how many parts you have already resarched\n"
        "in laboratory. Laboratory is special location on rare planets. You can\n"
        "resarch there your ancient parts. When you resarch five ancient ship parts\n"
        "of the same type you get super part of this type to your ship. Anyway now\n"
        "you should learn more about ship info. To show important info about your ship press \"I\" key. "
        "It shows you for instance ship health, fuel ,shield,\n"
        "energy, capacity, ammo and your amount of credits.\n\n"
        "Now check important info about your ship...\n\nPress ENTER to continue...",
        "Check important info about ship by pressing \"I\" key."},
    // 3
    {
        "Good job! You can get more info about your ship in hangar on any planet.\n"
        "In hangar you can check info like model of your current engine or weapon.\n"
        "You can also buy fuel and ammo. In addition you can also charge your energy\ncollector.\n\n"
        "Now cadet go to your ship (it's on the EARTH orbit) and dock it in our hangar...\n\n"
        "Press ENTER to continue...",
        "Go to nearest planet and visit hangar."},
    // 4
    {
        "As you saw in hangar your ship have six different parts. They are engine, hull, weapon, shield "
        "generator, energy collector and fuel tank. You can\n"
        "change any part in docks. Every time you change ship part you earn half\n"
        "value of part that you already had, so cost is actually lower than this\nshowed in dock panel.\n"
        "\nNow visit docks...\n\nPress ENTER to continue...",
        "Visit docks on the EARTH."},
    // 5
    {
        "Now cadet you should learn something about trade. On any planet you can buy and sell trade "
        "goods. They value is different on each planet, because it\n"
        "depends from count of this good on planet and value of other goods as well.\n"
        "For instance if something is created from glass and energy cristals its\n"
        "value includes value of this materials. You should search opportunities to\n"
        "earn credits by buying goods on planets where they're cheap and selling them on planets where "
        "they're expensive.\n\nLet's check out your trade skills. Buy 10 units of ore on the EARTH...\n\n"
        "Notice that when you buy something you have to type product number NOT its name!\n\n"
        "Press ENTER to continue...",
        "Buy 10 ore on the EARTH."},
    // 6
    {
        "Excelent cadet!\n\nNow fly to another planet and sell this ore to earn some credits!\n\n"
        "Press ENTER to continue...",
        "Sell all ore on another planet."},
    // 7
    {
        "Good job cadet! Go back on planet and prepare yourself. Buy fuel, 100 ammo and energy "
        "collector, but be careful. Don't spend all credits on dumb stuff!\n\n"
        "When you'll be ready departure from planet...\n\nPress ENTER to continue...",
        "Buy 100 ammo and energy collector."},
    // 8
    {
        "Good! Now you should be prepared to your first fight. As you remember i said that space isn't "
        "safe place. In your adventures you can meet space pirates or fly into asteroids field. With "
        "good shield generator it's easier to\n"
        "defeat enemy. You also should know that energy collector chrges itself while you're flying.\n\n"
        "Prepare yourself to fight...\n\nPress ENTER to continue...",
        "Prepare yourself to fight."},
    // 9
    {
        "In battle you have some actions.\n\n"
        "Laser shot - deals your normal weapon damage. Have chance to miss. Cost 1 ammo.\n\n"
        "Ion canon - deals double damage, but can destroy only shield! Have chance to miss. Cost 10W "
        "energy.\n\n"
        "Rocket louncher - deals double damage to hull and normal damage to shield. Have chance to miss. "
        "Cost 10 ammo.\n\nBeam weapon - deals half damage. Always hit. Cost 2 ammo.\n\n"
        "Press ENTER to continue...",
        "Read fight options info."},
    // 10
    {
        "You can also flee or pass turn.\n\n"
        "Flee - when you flee your foe have his normal turn and can shot equal to his weapon shots "
        "count. After flee you lose all your trade goods!\n\n"
        "If you'll be defeat by enemy i allow you to try again but only this time\n"
        "(It isn't so easy in real life, so in normal game it's your defeat and games over). You only "
        "have to end battle with more than 0 health so you can\nflee too.\n\nGood luck!\n\n"
        "Press ENTER to start fight...",
        "Start fight."},
    // 11
    {
        "Now cadet you should know basics about space battles.\n\n"
        "Come back to our station on the EARTH to get next mission...\n\nPress ENTER to continue...",
        "Come back to the EARTH"},
    // 12
    {
        "Oh no! It's look like you haven't any fuel, but don't worry about this. Do you remember when i "
        "said that you should buy energy collector? It's useful\n"
        "not only to charge shield. Your ship have board computer and hyperspace jump engine, so you can "
        "jump to nearest planet. Simple use ~ key to turn on board computer console and use command. If "
        "you don't know how commands you can use, type \"help\" or \"help;commandName\" in console for "
        "more specific info\nabout command (example: help;help).\n\n"
        "Use board computer console to jump to nearest planet...\n\nPress ENTER to continue...",
        "Use ~ key and \"help\" command to jump to nearest planet."},
    // 13
    {
        "Excelent cadet! Now you should learn something about galaxy. Galaxy is split into sectors. Each "
        "sector have X and Y coordinates. You can check X and Y of your actual sector in your ship GPS. "
        "To do this press \"G\" key.\n\nBuy fuel, departure from planet and check your position...\n\n"
        "Press ENTER to continue...",
        "Check your position by pressing \"G\" key."},
    // 14
    {
        "Galaxy is enormous large. You can explore galaxy flying from one sector to another. When you "
        "change sector game saves. You can manually save game\n"
        "by pressing \"S\" key. Be careful when you lose galaxy is delete! In galaxy you can meet things "
        "like asterioids fields, space pirates, ancient ship\n"
        "parts and even enemy planets. In other sectors you can find planets with strange names.\n\n"
        "Each planet have factories and produce small amount of some product using another goods.\n\n"
        "Now let's go explore piece of galaxy. When you'll want to end tutorial come back to the EARTH.\n"
        "\nPress ENTER to continue...",
        "Explore piece of galaxy or come back to the EARTH to end tutorial."},
    // 15
    {
        "Congratulations cadet! You completed our academy and now you can serch adventures and fameus in "
        "your galaxy!\n\nThank you for took part in our academy and good luck!\n\n"
        "Press ENTER to back to main menu...",
        "HUG PONIES!!!!"},
}};

constexpr int INFO_BACKGROUND = 2;
constexpr int INFO_TEXT = 7;
constexpr int JOURNAL_WIDTH = 40;
constexpr int JOURNAL_HEIGHT = 6;

}  // namespace

TutorialStage::TutorialStage(int stageId, std::string_view infoText, std::string_view journalText)
    : id(stageId), info(infoText), journal(journalText) {}

void TutorialManager::add(std::unique_ptr<TutorialStage> stage) {
    if (stage != nullptr) stages.push_back(std::move(stage));
}

void TutorialManager::remove(int id) {
    if (const auto at = getStageByID(id)) stages.erase(stages.begin() + static_cast<std::ptrdiff_t>(*at));
}

std::optional<std::size_t> TutorialManager::getStageByID(int id) const {
    const auto found =
        std::find_if(stages.begin(), stages.end(), [id](const auto& stage) { return stage->getID() == id; });
    if (found == stages.end()) return std::nullopt;
    return static_cast<std::size_t>(found - stages.begin());
}

const TutorialStage* TutorialManager::stageAt(std::size_t position) const {
    return position < stages.size() ? stages[position].get() : nullptr;
}

const TutorialStage* TutorialManager::stageWithID(int id) const {
    const auto at = getStageByID(id);
    return at ? stageAt(*at) : nullptr;
}

void TutorialManager::showInfo(ConLib* console) const {
    const TutorialStage* stage = stageWithID(currentStage);
    if (console == nullptr || stage == nullptr) return;
    windowAt(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, INFO_BACKGROUND, INFO_TEXT).Show("TUTORIAL", stage->getInfo());
    console->SetPosition(Coord{0, 0});
    while (console->GetKey() != keycode::Enter) {
    }
}

void TutorialManager::showJournal(ConLib* console) const {
    const TutorialStage* stage = stageWithID(currentStage);
    if (console == nullptr || stage == nullptr) return;
    showMessage(console, JOURNAL_WIDTH, JOURNAL_HEIGHT, "MISSION INFO", stage->getJournal(), CloseOn::AnyKey);
}

bool TutorialManager::isCompleted(int id) const {
    const TutorialStage* stage = stageWithID(id);
    return stage != nullptr && stage->isCompleted();
}

void TutorialManager::completeStage(ConLib* console) {
    const auto at = getStageByID(currentStage);
    if (!at) return;
    stages[*at]->setComplete(true);
    ++currentStage;
    showInfo(console);
}

std::unique_ptr<TutorialManager> makeTutorialCourse() {
    auto manager = std::make_unique<TutorialManager>();
    for (int id = 0; id < TUTORIAL_STAGE_COUNT; ++id)
        manager->add(std::make_unique<TutorialStage>(id, COURSE[static_cast<std::size_t>(id)].info,
                                                     COURSE[static_cast<std::size_t>(id)].journal));
    return manager;
}
