#include <gtest/gtest.h>

#include <ncurses.h>

#include <set>
#include <string>

#include "presenters/terminal/CursesMapping.h"
#include "presenters/terminal/KeyDecoder.h"

// Colour numbers 0 to 7 must reach the terminal as the matching curses
// colours, for text and background alike, and every pairing must have a pair
// of its own: white on black is not black on black.
TEST(CursesMapping, EveryColourPairingReachesCursesAsItsColours) {
    const short expected[8] = {COLOR_BLACK, COLOR_RED,     COLOR_GREEN, COLOR_YELLOW,
                               COLOR_BLUE,  COLOR_MAGENTA, COLOR_CYAN,  COLOR_WHITE};
    std::set<short> pairs;
    for (unsigned text = 0; text < 8; ++text) {
        for (unsigned background = 0; background < 8; ++background) {
            const short pair = colourPairFor(text, background);
            ASSERT_GE(pair, 0);
            ASSERT_LT(pair, COLOUR_PAIRS_USED);
            pairs.insert(pair);
            EXPECT_EQ(coloursOfPair(pair), (PairColours{expected[text], expected[background]}))
                << "text " << text << " on background " << background;
        }
    }
    EXPECT_EQ(pairs.size(), 64u);
    // The terminal's default pair stands for the neutral white on black.
    EXPECT_EQ(colourPairFor(7, 0), 0);
    EXPECT_EQ(coloursOfPair(0), (PairColours{COLOR_WHITE, COLOR_BLACK}));
    // Only the low three bits of a colour number count.
    EXPECT_EQ(colourPairFor(15, 9), colourPairFor(7, 1));
}

// Keys that curses decodes itself reach the game with the same codes as the
// byte sequences the decoder reads.
// Curses reports a key it decoded by its code; the terminal hands the
// presenter that key's curses name, which must reach the game as its code.
TEST(CursesMapping, KeysCursesDecodedGetTheGameCodes) {
    const struct {
        std::string name;
        unsigned vk;
    } cases[] = {
        {keyname(KEY_SLEFT), 37},  {keyname(KEY_BACKSPACE), 8}, {keyname(KEY_ENTER), 13},  {keyname(KEY_BTAB), 9},
        {keyname(KEY_NPAGE), 34},  {keyname(KEY_DC), 46},       {keyname(KEY_B2), 12},     {keyname(KEY_F(12)), 123},
        {keyname(KEY_F(13)), 112}, {keyname(KEY_F(63)), 114},   {keyname(KEY_MOUSE), 0},   {"KEY_F(64)", 0},
        {"KEY_F(1x)", 0},          {"kUP5", 38},                {"kDC3", 46},              {"kUPx", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        KeyDecoder decoder;
        decoder.feed(rawFromCursesKey(c.name));
        ASSERT_TRUE(decoder.hasEvent()) << c.name;
        EXPECT_EQ(decoder.takeEvent().vk, c.vk) << "curses key " << c.name;
    }
}
