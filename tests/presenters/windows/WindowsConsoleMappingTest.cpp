#include <gtest/gtest.h>

#include "presenters/windows/WindowsConsoleMapping.h"

// The console's attribute bits of each colour number: red is the console's
// bit 4 (the game's 1), blue its bit 1 (the game's 4); the background is the
// same bits moved up four; intensity is never set and only the low three
// bits of a colour number count.
TEST(WindowsConsoleMapping, ColourNumbersBecomeTheConsolesAttributeBits) {
    const std::uint16_t textBits[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (unsigned text = 0; text < 16; ++text)
        for (unsigned background = 0; background < 16; ++background)
            EXPECT_EQ(consoleAttribute(text, background), textBits[text & 7] | textBits[background & 7] << 4)
                << "text " << text << " on background " << background;
    EXPECT_EQ(consoleAttribute(1, 7), 0x74);  // every window: red on white
    EXPECT_EQ(consoleAttribute(7, 4), 0x17);  // the map: white on blue
}

// What the console is handed: Windows gets every attribute as it is; Wine's
// variant brightens only plain white text on a colour.
TEST(WindowsConsoleMapping, WindowsGetsTheAttributeAsItIs) {
    for (unsigned text = 0; text < 8; ++text)
        for (unsigned background = 0; background < 8; ++background) {
            const std::uint16_t attribute = consoleAttribute(text, background);
            EXPECT_EQ(attributeForConsole(attribute, false), attribute);
            const bool brightened = text == 7 && background != 0;
            EXPECT_EQ(attributeForConsole(attribute, true), attribute | (brightened ? 8 : 0)) << attribute;
        }
}
