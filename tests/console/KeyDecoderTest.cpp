#include <gtest/gtest.h>

#include <vector>

#include "console/KeyDecoder.h"

namespace {
std::vector<unsigned> decode(const std::string& bytes, bool flush = true) {
    KeyDecoder decoder;
    decoder.feed(bytes);
    if (flush) decoder.flushEscape();
    std::vector<unsigned> codes;
    while (decoder.hasEvent()) codes.push_back(decoder.takeEvent().vk);
    return codes;
}
}  // namespace

TEST(KeyDecoder, LettersIgnoreCaseAndDigitsKeepTheirCode) {
    EXPECT_EQ(decode("nN eE"), (std::vector<unsigned>{78, 78, 0, 69, 69}));
    EXPECT_EQ(decode("09"), (std::vector<unsigned>{48, 57}));
}

TEST(KeyDecoder, PunctuationKeysShareTheirKeyCode) {
    EXPECT_EQ(decode(",<.>`~"), (std::vector<unsigned>{188, 188, 190, 190, 192, 192}));
    EXPECT_EQ(decode(";@/"), (std::vector<unsigned>{0, 0, 0}));
}

TEST(KeyDecoder, EnterAndBackspaceInEveryForm) {
    EXPECT_EQ(decode("\r\n"), (std::vector<unsigned>{13, 13}));
    EXPECT_EQ(decode("\x7f\b"), (std::vector<unsigned>{8, 8}));
}

TEST(KeyDecoder, ArrowsInBothCursorKeyModes) {
    EXPECT_EQ(decode("\x1b[A\x1b[B\x1b[C\x1b[D"), (std::vector<unsigned>{38, 40, 39, 37}));
    EXPECT_EQ(decode("\x1bOA\x1bOB\x1bOC\x1bOD"), (std::vector<unsigned>{38, 40, 39, 37}));
    KeyDecoder decoder;
    for (int code : {rawkey::Up, rawkey::Down, rawkey::Left, rawkey::Right}) decoder.feed(code);
    std::vector<unsigned> codes;
    while (decoder.hasEvent()) codes.push_back(decoder.takeEvent().vk);
    EXPECT_EQ(codes, (std::vector<unsigned>{38, 40, 37, 39}));
}

TEST(KeyDecoder, LoneEscapeNeedsTheDelayToPass) {
    KeyDecoder decoder;
    decoder.feed(27);
    EXPECT_TRUE(decoder.escapePending());
    EXPECT_FALSE(decoder.hasEvent());
    decoder.flushEscape();
    ASSERT_TRUE(decoder.hasEvent());
    EXPECT_EQ(decoder.takeEvent().vk, 27u);
    // Esc followed by a plain key is Esc, then that key.
    EXPECT_EQ(decode("\x1bq"), (std::vector<unsigned>{27, 81}));
    EXPECT_EQ(decode("\x1b\x1b", true), (std::vector<unsigned>{27, 27}));
}

TEST(KeyDecoder, UnknownSequencesResizeAndHighBytesGiveZero) {
    EXPECT_EQ(decode("\x1b[15~"), (std::vector<unsigned>{0}));          // F5
    EXPECT_EQ(decode("\x1b[1;5C"), (std::vector<unsigned>{39}));        // Ctrl+Right is still right
    EXPECT_EQ(decode("\x1bOP"), (std::vector<unsigned>{0}));            // F1
    EXPECT_EQ(decode("\xc3\xa9"), (std::vector<unsigned>{0, 0}));       // UTF-8 text
    EXPECT_EQ(decode("\x1b[", true), (std::vector<unsigned>{0}));       // cut-off sequence
    KeyDecoder decoder;
    decoder.feed(rawkey::Other);
    EXPECT_EQ(decoder.takeEvent().vk, 0u);
}

TEST(KeyDecoder, TypedCharactersAreKept) {
    KeyDecoder decoder;
    decoder.feed("a;@");
    EXPECT_EQ(decoder.takeEvent().ch, 'a');
    EXPECT_EQ(decoder.takeEvent().ch, ';');
    EXPECT_EQ(decoder.takeEvent().ch, '@');
}
