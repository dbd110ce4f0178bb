#include "presenters/terminal/CursesMapping.h"

#include <array>
#include <charconv>
#include <string_view>

#include "presenters/terminal/KeyDecoder.h"

namespace {

// Terminal colours: 0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta,
// 6 cyan, 7 white. The game numbers its colours the same way (red 1, blue
// 4); the table keeps the two apart all the same.
constexpr std::array<short, 8> TERMINAL_COLOURS = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr unsigned WHITE = 7;

// Keys that curses decodes itself, by the names it gives them.
struct NamedKey {
    std::string_view name;
    unsigned vk;
};
constexpr std::array<NamedKey, 32> CURSES_KEYS{{
    {"KEY_UP", keycode::Up},           {"KEY_DOWN", keycode::Down},          {"KEY_LEFT", keycode::Left},
    {"KEY_RIGHT", keycode::Right},     {"KEY_SR", keycode::Up},              {"KEY_SF", keycode::Down},
    {"KEY_SLEFT", keycode::Left},      {"KEY_SRIGHT", keycode::Right},       {"KEY_BACKSPACE", keycode::Backspace},
    {"KEY_ENTER", keycode::Enter},     {"KEY_BTAB", keycode::Tab},           {"KEY_HOME", keycode::Home},
    {"KEY_SHOME", keycode::Home},      {"KEY_END", keycode::End},            {"KEY_SEND", keycode::End},
    {"KEY_PPAGE", keycode::PageUp},    {"KEY_SPREVIOUS", keycode::PageUp},   {"KEY_NPAGE", keycode::PageDown},
    {"KEY_SNEXT", keycode::PageDown},  {"KEY_IC", keycode::Insert},          {"KEY_SIC", keycode::Insert},
    {"KEY_DC", keycode::Delete},       {"KEY_SDC", keycode::Delete},         {"KEY_A1", keycode::Home},
    {"KEY_A3", keycode::PageUp},       {"KEY_B2", keycode::Clear},           {"KEY_C1", keycode::End},
    {"KEY_C3", keycode::PageDown},     {"KEY_BEG", keycode::Clear},          {"KEY_LL", keycode::End},
    {"KEY_CANCEL", keycode::Escape},   {"KEY_EXIT", keycode::Escape},
}};

// Keys with modifiers that curses names at run time: the name's stem.
constexpr std::array<NamedKey, 10> EXTENDED_KEYS{{
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

bool allDigits(std::string_view text) { return text.find_first_not_of("0123456789") == std::string_view::npos; }

// "KEY_F(n)": F1 to F12, also with modifiers; None for any other name.
unsigned functionKeyOfName(std::string_view name) {
    constexpr std::string_view prefix = "KEY_F(";
    if (name.substr(0, prefix.size()) != prefix || name.size() < prefix.size() + 2 || name.back() != ')')
        return keycode::None;
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    int n = 0;
    if (!allDigits(digits) || std::from_chars(digits.data(), digits.data() + digits.size(), n).ec != std::errc{})
        return keycode::None;
    return n >= 1 && n <= FUNCTION_KEYS_WITH_MODIFIERS ? keycode::function((n - 1) % 12 + 1) : keycode::None;
}

unsigned keyOfName(std::string_view name) {
    for (const NamedKey& key : CURSES_KEYS)
        if (key.name == name) return key.vk;
    if (const unsigned function = functionKeyOfName(name); function != keycode::None) return function;
    for (const NamedKey& key : EXTENDED_KEYS) {
        // The stem is followed by the modifier number only ("kUP5", not "kUPx").
        if (name.substr(0, key.name.size()) == key.name && allDigits(name.substr(key.name.size()))) return key.vk;
    }
    return keycode::None;
}

}  // namespace

short cursesColour(unsigned colourNumber) { return TERMINAL_COLOURS[colourNumber & 7u]; }

// White text on black lands on pair 0, the default pair.
short colourPairFor(unsigned text, unsigned background) {
    return static_cast<short>((background & 7u) * 8 + (WHITE - (text & 7u)));
}

PairColours coloursOfPair(short pair) {
    const unsigned p = static_cast<unsigned>(pair) % COLOUR_PAIRS_USED;
    return PairColours{cursesColour(WHITE - p % 8), cursesColour(p / 8)};
}

int rawFromCursesKey(const std::string& name) { return rawkey::of(keyOfName(name)); }
