#include "presenters/terminal/CursesMapping.h"

#include <ncurses.h>

#include <array>
#include <cstring>
#include <string_view>

#include "presenters/terminal/KeyDecoder.h"

namespace {

// The game numbers its colours like curses does (red 1, blue 4); the table
// keeps the two apart all the same.
constexpr std::array<short, 8> CURSES_COLOURS = {COLOR_BLACK, COLOR_RED,     COLOR_GREEN, COLOR_YELLOW,
                                                 COLOR_BLUE,  COLOR_MAGENTA, COLOR_CYAN,  COLOR_WHITE};
constexpr unsigned WHITE = 7;

// Keys curses knows by a fixed code.
struct CursesKey {
    int code;
    unsigned vk;
};
const std::array<CursesKey, 32> CURSES_KEYS{{
    {KEY_UP, keycode::Up},           {KEY_DOWN, keycode::Down},          {KEY_LEFT, keycode::Left},
    {KEY_RIGHT, keycode::Right},     {KEY_SR, keycode::Up},              {KEY_SF, keycode::Down},
    {KEY_SLEFT, keycode::Left},      {KEY_SRIGHT, keycode::Right},       {KEY_BACKSPACE, keycode::Backspace},
    {KEY_ENTER, keycode::Enter},     {KEY_BTAB, keycode::Tab},           {KEY_HOME, keycode::Home},
    {KEY_SHOME, keycode::Home},      {KEY_END, keycode::End},            {KEY_SEND, keycode::End},
    {KEY_PPAGE, keycode::PageUp},    {KEY_SPREVIOUS, keycode::PageUp},   {KEY_NPAGE, keycode::PageDown},
    {KEY_SNEXT, keycode::PageDown},  {KEY_IC, keycode::Insert},          {KEY_SIC, keycode::Insert},
    {KEY_DC, keycode::Delete},       {KEY_SDC, keycode::Delete},         {KEY_A1, keycode::Home},
    {KEY_A3, keycode::PageUp},       {KEY_B2, keycode::Clear},           {KEY_C1, keycode::End},
    {KEY_C3, keycode::PageDown},     {KEY_BEG, keycode::Clear},          {KEY_LL, keycode::End},
    {KEY_CANCEL, keycode::Escape},   {KEY_EXIT, keycode::Escape},
}};

// Keys with modifiers that curses names at run time: the name's stem.
struct NamedKey {
    std::string_view stem;
    unsigned vk;
};
constexpr std::array<NamedKey, 10> NAMED_KEYS{{
    {"kUP", keycode::Up},
    {"kDN", keycode::Down},
    {"kLFT", keycode::Left},
    {"kRIT", keycode::Right},
    {"kHOM", keycode::Home},
    {"kEND", keycode::End},
    {"kIC", keycode::Insert},
    {"kDC", keycode::Delete},
    {"kNXT", keycode::PageDown},
    {"kPRV", keycode::PageUp},
}};

// Terminals number Shift, Ctrl and Alt with F1 to F12 on as F13 to F63.
constexpr int FUNCTION_KEYS_WITH_MODIFIERS = 63;

unsigned keyOfName(const char* name) {
    if (name == nullptr) return keycode::None;
    const std::string_view text(name);
    for (const NamedKey& key : NAMED_KEYS) {
        // The stem is followed by the modifier number only ("kUP5", not "kUPx").
        if (text.substr(0, key.stem.size()) != key.stem) continue;
        const std::string_view rest = text.substr(key.stem.size());
        if (rest.find_first_not_of("0123456789") == std::string_view::npos) return key.vk;
    }
    return keycode::None;
}

}  // namespace

short cursesColour(unsigned colourNumber) { return CURSES_COLOURS[colourNumber & 7u]; }

// White text on black lands on pair 0, the default pair.
short colourPairFor(unsigned text, unsigned background) {
    return static_cast<short>((background & 7u) * 8 + (WHITE - (text & 7u)));
}

PairColours coloursOfPair(short pair) {
    const unsigned p = static_cast<unsigned>(pair) % COLOUR_PAIRS_USED;
    return PairColours{cursesColour(WHITE - p % 8), cursesColour(p / 8)};
}

int rawFromCursesKey(int code, const char* extendedName) {
    if (code >= 0 && code <= 255) return code;
    for (const CursesKey& key : CURSES_KEYS)
        if (key.code == code) return rawkey::of(key.vk);
    if (code >= KEY_F(1) && code <= KEY_F(FUNCTION_KEYS_WITH_MODIFIERS))
        return rawkey::of(keycode::function((code - KEY_F(1)) % 12 + 1));
    return rawkey::of(keyOfName(extendedName));
}
