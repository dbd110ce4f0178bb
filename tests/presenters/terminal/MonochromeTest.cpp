#include <gtest/gtest.h>

#include "presenters/terminal/Monochrome.h"

namespace {

MonoLook look(char ch, unsigned fg, unsigned bg) { return monochromeLook(Cell{ch, static_cast<std::uint8_t>(fg), static_cast<std::uint8_t>(bg)}); }

constexpr MonoLook PLAIN{};
constexpr MonoLook REVERSE{true, false, false};
constexpr MonoLook REVERSE_BOLD{true, true, false};
constexpr MonoLook BOLD{false, true, false};
constexpr MonoLook BOLD_UNDERLINE{false, true, true};

}  // namespace

// Every screen of the game as a terminal without colour shows it.
TEST(Monochrome, EachScreenKeepsItsPartsApart) {
    const struct {
        const char* what;
        char ch;
        unsigned fg, bg;
        MonoLook expected;
    } cases[] = {
        {"menu text", 'N', 7, 0, PLAIN},
        {"window text", 'A', 1, 7, REVERSE_BOLD},
        {"window blank", ' ', 1, 7, REVERSE},
        {"planet screen text", 'P', 0, 2, REVERSE},
        {"map frame", '*', 7, 4, PLAIN},
        {"planet on the map", 'O', 2, 4, PLAIN},
        {"pirates planet", 'O', 1, 4, BOLD_UNDERLINE},
        {"ship", 'H', 0, 4, REVERSE},
        {"cell the ship left", ' ', 0, 4, PLAIN},
        {"meteor", '*', 3, 4, BOLD},
        {"battle window", 'H', 1, 3, REVERSE_BOLD},
        {"black on black", 'x', 0, 0, PLAIN},
        {"blue text", 'x', 4, 0, MonoLook{false, false, true}},
        {"colour numbers above 7", 'O', 9, 12, BOLD_UNDERLINE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(look(c.ch, c.fg, c.bg), c.expected);
    }
}
