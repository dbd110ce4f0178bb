#include <gtest/gtest.h>

#include <ncurses.h>

#include <set>

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
TEST(CursesMapping, KeysCursesDecodedGetTheGameCodes) {
    const struct {
        int code;
        const char* name;
        unsigned vk;
    } cases[] = {
        {' ', nullptr, 32},          {KEY_SLEFT, nullptr, 37},  {KEY_BACKSPACE, nullptr, 8},
        {KEY_ENTER, nullptr, 13},    {KEY_BTAB, nullptr, 9},    {KEY_NPAGE, nullptr, 34},
        {KEY_DC, nullptr, 46},       {KEY_B2, nullptr, 12},     {KEY_F(12), nullptr, 123},
        {KEY_F(13), nullptr, 112},   {KEY_F(63), nullptr, 114}, {KEY_F(64), nullptr, 0},
        {KEY_MOUSE, "KEY_MOUSE", 0}, {KEY_MAX + 5, "kUP5", 38}, {KEY_MAX + 6, "kDC3", 46},
        {KEY_MAX + 8, "kUPx", 0},    {KEY_MAX + 9, nullptr, 0},
    };
    for (const auto& c : cases) {
        KeyDecoder decoder;
        decoder.feed(rawFromCursesKey(c.code, c.name));
        ASSERT_TRUE(decoder.hasEvent()) << c.code;
        EXPECT_EQ(decoder.takeEvent().vk, c.vk) << "curses code " << c.code;
    }
}
