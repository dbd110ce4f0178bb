#include <gtest/gtest.h>

#include <vector>

#include "presenters/terminal/KeyDecoder.h"

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
    EXPECT_EQ(decode("nN eE"), (std::vector<unsigned>{78, 78, 32, 69, 69}));
    EXPECT_EQ(decode("09"), (std::vector<unsigned>{48, 57}));
}

TEST(KeyDecoder, PunctuationKeysShareTheirKeyCode) {
    EXPECT_EQ(decode(",<.>`~"), (std::vector<unsigned>{188, 188, 190, 190, 192, 192}));
    EXPECT_EQ(decode(";@/"), (std::vector<unsigned>{186, 50, 191}));
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
    // Esc with a key in time is Alt with that key: the key alone.
    EXPECT_EQ(decode("\x1bq"), (std::vector<unsigned>{81}));
    EXPECT_EQ(decode("\x1b\x1b", true), (std::vector<unsigned>{27, 27}));
}

TEST(KeyDecoder, UnknownSequencesResizeAndHighBytesGiveZero) {
    EXPECT_EQ(decode("\x1b[15~"), (std::vector<unsigned>{116}));        // F5
    EXPECT_EQ(decode("\x1b[1;5C"), (std::vector<unsigned>{39}));        // Ctrl+Right is still right
    EXPECT_EQ(decode("\x1bOP"), (std::vector<unsigned>{112}));          // F1
    EXPECT_EQ(decode("\xc3\xa9"), (std::vector<unsigned>{0, 0}));       // UTF-8 text
    EXPECT_EQ(decode("\x1b[1;", true), (std::vector<unsigned>{0}));     // cut-off sequence
    KeyDecoder decoder;
    decoder.feed(rawkey::Other);
    EXPECT_EQ(decoder.takeEvent().vk, 0u);
}

TEST(KeyDecoder, TypedCharactersAreKept) {
    KeyDecoder decoder;
    decoder.feed("a;@ \x1bOq\x01");
    EXPECT_EQ(decoder.takeEvent().ch, 'a');
    EXPECT_EQ(decoder.takeEvent().ch, ';');
    EXPECT_EQ(decoder.takeEvent().ch, '@');
    EXPECT_EQ(decoder.takeEvent().ch, ' ');
    EXPECT_EQ(decoder.takeEvent().ch, '1');  // a keypad digit types its digit
    EXPECT_EQ(decoder.takeEvent().ch, 0);    // Ctrl+A types nothing
}

// Every key that goes down has a code, whatever form the terminal sends it
// in: shifted characters, Ctrl, modifier parameters and intermediate bytes
// inside a sequence, the keypad in application mode. Only what is no key
// (mouse, focus, unknown sequences, bytes of non-ASCII text) reads as 0.
TEST(KeyDecoder, EveryKeyPressHasItsCode) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::vector<unsigned> codes;
    } cases[] = {
        {"\b\x7f\t\r\n ", {8, 8, 9, 13, 13, 32}},
        {"\x1b", {27}},
        // Alt chords (Esc and the key in one read) give the key alone; so do
        // "Esc [" and "Esc O" with nothing after them.
        {"\x1bs\x1bS\x1b" "1\x1b`\x1b\r\x1b[", {83, 83, 49, 192, 13, 219}},
        {"\x1bO", {79}},
        {";:=+,<-_.>/?`~[{\\|]}'\"", {186, 186, 187, 187, 188, 188, 189, 189, 190, 190, 191, 191, 192, 192, 219, 219,
                                    220, 220, 221, 221, 222, 222}},
        {")!@#$%^&*(", {48, 49, 50, 51, 52, 53, 54, 55, 56, 57}},
        // Ctrl+letter; Ctrl+Space and Ctrl with the keys that send bytes 28 to 31.
        {"\x01\x03\x07\x0b\x1a", {65, 67, 71, 75, 90}},
        {"\0\x1c\x1d\x1e\x1f"s, {32, 220, 221, 54, 189}},
        // Editing keys in their xterm, vt220 and rxvt forms.
        {"\x1b[5~\x1b[6~\x1b[4~\x1b[F\x1b[8~\x1b[1~\x1b[H\x1b[7~\x1b[2~\x1b[3~",
         {33, 34, 35, 35, 35, 36, 36, 36, 45, 46}},
        {"\x1bOH\x1bOF\x1b[E", {36, 35, 12}},
        // F1 to F12, and the Linux console's F1 to F5; the gaps between them are no keys.
        {"\x1bOP\x1bOS\x1b[11~\x1b[15~\x1b[17~\x1b[21~\x1b[23~\x1b[24~", {112, 115, 112, 116, 117, 121, 122, 123}},
        {"\x1b[[A\x1b[[E\x1b[16~\x1b[22~\x1b[25~", {112, 116, 0, 0, 0}},
        // Modifiers as parameters, and intermediate bytes: the key is the one the sequence ends with.
        {"\x1b[1;5A\x1b[1;2D\x1b[1;5H\x1b[1;5P\x1b[15;5~\x1b[3;3~\x1bO5B", {38, 37, 36, 112, 116, 46, 40}},
        {"\x1b[2 ~\x1b[1;5 A\x1b[!C", {45, 38, 39}},
        {"\x1b[Z\x1b[a\x1bOd\x1b[2$\x1b[5^\x1b[6@", {9, 38, 37, 45, 33, 34}},
        // The keypad in application mode gives the codes of the keys it types.
        {"\x1bOp\x1bOy\x1bOM\x1bOk\x1bOm\x1bOn\x1bOo\x1bOj", {48, 57, 13, 187, 189, 190, 191, 56}},
        // Keys reported by their character (xterm's modifyOtherKeys, the kitty protocol).
        {"\x1b[27;5;97~\x1b[97;5u\x1b[13u\x1b[44;2u", {65, 65, 13, 188}},
        // No keys: focus, both mouse report forms (the old one's three bytes are
        // swallowed), unknown numbers and finals, high bytes.
        {"\x1b[I\x1b[O\x1b[<0;10;5M\x1b[M !!q", {0, 0, 0, 0, 81}},
        {"\x1b[99~\x1b[y\x1bO~\xc3\xa9", {0, 0, 0, 0, 0}},
        // Terminal reports (device attributes) end like keys but are none.
        {"\x1b[?1;2c\x1b[>41;354;0c\x1b[?6A", {0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.bytes), c.codes) << testing::PrintToString(c.bytes);
}
