#include "presenters/terminal/KeyDecoder.h"

#include <array>
#include <string_view>

namespace {

// Punctuation keys: each pair is the plain and the shifted character of one key.
struct PunctuationKey {
    std::string_view characters;
    unsigned vk;
};
constexpr std::array<PunctuationKey, 11> PUNCTUATION{{
    {";:", keycode::Semicolon},
    {"=+", keycode::Equals},
    {",<", keycode::Comma},
    {"-_", keycode::Minus},
    {".>", keycode::Period},
    {"/?", keycode::Slash},
    {"`~", keycode::Tilde},
    {"[{", keycode::OpenBracket},
    {"\\|", keycode::Backslash},
    {"]}", keycode::CloseBracket},
    {"'\"", keycode::Quote},
}};

// Shift with a digit key types these, in the order of the digits 0 to 9.
constexpr std::string_view SHIFTED_DIGITS = ")!@#$%^&*(";

// Ctrl with a letter sends its place in the alphabet (Ctrl+A is 1); Ctrl with
// these keys sends the bytes 28 to 31.
constexpr std::array<unsigned, 4> CONTROL_28_TO_31 = {keycode::Backslash, keycode::CloseBracket, '6',
                                                     keycode::Minus};

unsigned punctuationKey(unsigned char c) {
    for (const PunctuationKey& key : PUNCTUATION)
        if (key.characters.find(static_cast<char>(c)) != std::string_view::npos) return key.vk;
    const std::size_t digit = SHIFTED_DIGITS.find(static_cast<char>(c));
    if (digit != std::string_view::npos) return static_cast<unsigned>('0' + digit);
    return keycode::None;
}

// The numbers of a sequence's parameters ("1;5" gives 1 and 5); a missing
// one reads as `fallback`. Intermediate bytes are skipped.
struct Parameters {
    std::array<int, 4> values{};
    int count = 0;
    bool isPrivate = false;  // starts with '<', '=', '>' or '?': no key (mouse, reports)

    int at(int i, int fallback) const {
        if (i >= count) return fallback;
        const int value = values[static_cast<std::size_t>(i)];
        return value > 0 ? value : fallback;
    }
};

Parameters parseParameters(std::string_view text) {
    Parameters p;
    if (!text.empty() && text.front() >= '<' && text.front() <= '?') p.isPrivate = true;
    int field = 0;
    int value = 0;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (value < 100000) value = value * 10 + (ch - '0');
        } else if (ch == ';' || ch == ':') {
            if (field < static_cast<int>(p.values.size())) p.values[static_cast<std::size_t>(field)] = value;
            ++field;
            value = 0;
        }
    }
    if (field < static_cast<int>(p.values.size())) p.values[static_cast<std::size_t>(field)] = value;
    p.count = field + 1 < static_cast<int>(p.values.size()) ? field + 1 : static_cast<int>(p.values.size());
    return p;
}

// The key of a "CSI number ~" sequence (and rxvt's '^', '@' and '$' forms).
unsigned numberedKey(int number) {
    switch (number) {
        case 1:
        case 7: return keycode::Home;
        case 2: return keycode::Insert;
        case 3: return keycode::Delete;
        case 4:
        case 8: return keycode::End;
        case 5: return keycode::PageUp;
        case 6: return keycode::PageDown;
        default: break;
    }
    // F1 to F5 are 11 to 15, F6 to F10 are 17 to 21, F11 and F12 are 23 and 24.
    if (number >= 11 && number <= 15) return keycode::function(number - 10);
    if (number >= 17 && number <= 21) return keycode::function(number - 11);
    if (number >= 23 && number <= 24) return keycode::function(number - 12);
    return keycode::None;
}

// Keys reported by the character they stand for (with a modifier held).
unsigned characterKey(int character) {
    if (character < 0 || character > 127) return keycode::None;
    return decodeCharacter(static_cast<unsigned char>(character)).vk;
}

// The keys a final byte stands for whatever the parameters (which only add
// modifiers): arrows, Home, End, the keypad's middle, F1 to F4, Shift+Tab.
unsigned finalKey(int final) {
    switch (final) {
        case 'A':
        case 'a': return keycode::Up;  // lower case: rxvt's shifted and Ctrl arrows
        case 'B':
        case 'b': return keycode::Down;
        case 'C':
        case 'c': return keycode::Right;
        case 'D':
        case 'd': return keycode::Left;
        case 'H': return keycode::Home;
        case 'F': return keycode::End;
        case 'E': return keycode::Clear;
        case 'P': return keycode::function(1);
        case 'Q': return keycode::function(2);
        case 'R': return keycode::function(3);
        case 'S': return keycode::function(4);
        case 'Z': return keycode::Tab;  // Shift+Tab
        default: return keycode::None;
    }
}

// The keypad in application mode sends SS3 with these finals for the
// characters it types; a terminal cannot tell them from the main keys.
constexpr std::string_view KEYPAD_FINALS = "jklmnopqrstuvwxyX";
constexpr std::string_view KEYPAD_CHARACTERS = "*+,-./0123456789=";

bool isFinalByte(int code) { return code >= 0x40 && code <= 0x7E; }
bool isParameterOrIntermediate(int code) { return code >= 0x20 && code <= 0x3F; }
constexpr std::size_t MAX_PARAMETER_BYTES = 32;

}  // namespace

InputEvent decodeCharacter(unsigned char c) {
    if (c >= 'a' && c <= 'z') return {static_cast<unsigned>(c - 'a' + 'A'), static_cast<char>(c)};
    if (c >= 'A' && c <= 'Z') return {static_cast<unsigned>(c), static_cast<char>(c)};
    if (c >= '0' && c <= '9') return {static_cast<unsigned>(c), static_cast<char>(c)};
    switch (c) {
        case '\r':
        case '\n': return {keycode::Enter, '\n'};
        case '\t': return {keycode::Tab, 0};
        case 27: return {keycode::Escape, 0};
        case 8:
        case 127: return {keycode::Backspace, '\b'};
        case ' ': return {keycode::Space, ' '};
        case 0: return {keycode::Space, 0};  // Ctrl+Space
        default: break;
    }
    // Ctrl+letter; Ctrl+H, I, J and M arrive as Backspace, Tab and Enter above.
    if (c >= 1 && c <= 26) return {static_cast<unsigned>('A' + c - 1), 0};
    if (c >= 28 && c <= 31) return {CONTROL_28_TO_31[static_cast<std::size_t>(c - 28)], 0};
    if (c > 32 && c < 127) return {punctuationKey(c), static_cast<char>(c)};
    // Bytes of characters outside ASCII: no key the game can name.
    return {};
}

void KeyDecoder::feed(const std::string& bytes) {
    for (unsigned char c : bytes) feed(c);
}

void KeyDecoder::feed(int code) {
    switch (state_) {
        case State::Ground: feedGround(code); break;
        case State::Escape: feedEscape(code); break;
        case State::Csi: feedCsi(code); break;
        case State::Ss3: feedSs3(code); break;
        case State::LinuxFunction:
            // The Linux console's F1 to F5: "Esc [ [" and A to E.
            state_ = State::Ground;
            emit(code >= 'A' && code <= 'E' ? keycode::function(code - 'A' + 1) : keycode::None);
            break;
        case State::MouseReport:
            // An old-style mouse report: three bytes of button and cell follow.
            if (--mouseBytesLeft_ <= 0) state_ = State::Ground;
            break;
    }
}

void KeyDecoder::feedGround(int code) {
    if (code >= rawkey::Base && code < rawkey::of(0xFF) + 1) {
        const unsigned vk = static_cast<unsigned>(code - rawkey::Base);
        const char ch = vk == keycode::Enter ? '\n' : vk == keycode::Backspace ? '\b' : 0;
        emit(vk, ch);
        return;
    }
    if (code < 0 || code > 255) {
        emit(keycode::None);
        return;
    }
    if (code == 27) {
        state_ = State::Escape;
        return;
    }
    events_.push_back(decodeCharacter(static_cast<unsigned char>(code)));
}

void KeyDecoder::startSequence(State state) {
    state_ = state;
    parameters_.clear();
}

void KeyDecoder::dropSequence(int code) {
    // Not a valid sequence: drop it and read the byte afresh.
    state_ = State::Ground;
    emit(keycode::None);
    feedGround(code);
}

void KeyDecoder::feedEscape(int code) {
    if (code == '[') {
        startSequence(State::Csi);
    } else if (code == 'O') {
        startSequence(State::Ss3);
    } else if (code == 27) {
        // Esc twice: the first was a lone Esc key.
        emit(keycode::Escape);
    } else {
        // Esc with a key that starts no sequence, within the escape delay: a
        // terminal's Alt chord. The key alone, as the Windows console gives it.
        state_ = State::Ground;
        feedGround(code);
    }
}

void KeyDecoder::feedCsi(int code) {
    if (parameters_.empty() && code == '[') {
        state_ = State::LinuxFunction;
        return;
    }
    if (parameters_.empty() && code == 'M') {
        state_ = State::MouseReport;
        mouseBytesLeft_ = 3;
        emit(keycode::None);
        return;
    }
    // rxvt ends its shifted editing keys with '$', elsewhere an intermediate byte.
    const bool rxvtShifted = code == '$' && !parameters_.empty() &&
                             parameters_.find_first_not_of("0123456789") == std::string::npos;
    if (isFinalByte(code) || rxvtShifted) {
        state_ = State::Ground;
        finishCsi(code);
        return;
    }
    if (isParameterOrIntermediate(code)) {
        if (parameters_.size() < MAX_PARAMETER_BYTES) parameters_.push_back(static_cast<char>(code));
        return;
    }
    dropSequence(code);
}

void KeyDecoder::finishCsi(int final) {
    const Parameters p = parseParameters(parameters_);
    if (p.isPrivate) {
        emit(keycode::None);
        return;
    }
    switch (final) {
        case '~':
        case '^':
        case '@':
        case '$':
            // xterm's modifyOtherKeys reports a key as "27;modifiers;character~".
            emit(p.at(0, 0) == 27 ? characterKey(p.at(2, -1)) : numberedKey(p.at(0, 0)));
            return;
        case 'u':
            // The kitty keyboard protocol: "character;modifiers u".
            emit(characterKey(p.at(0, -1)));
            return;
        default: emit(finalKey(final)); return;
    }
}

void KeyDecoder::feedSs3(int code) {
    // Some terminals put a modifier number between "Esc O" and the final.
    if ((code >= '0' && code <= '9') || code == ';') {
        if (parameters_.size() < MAX_PARAMETER_BYTES) parameters_.push_back(static_cast<char>(code));
        return;
    }
    if (!isFinalByte(code)) {
        dropSequence(code);
        return;
    }
    state_ = State::Ground;
    const std::size_t keypad = KEYPAD_FINALS.find(static_cast<char>(code));
    if (keypad != std::string_view::npos) {
        events_.push_back(decodeCharacter(static_cast<unsigned char>(KEYPAD_CHARACTERS[keypad])));
        return;
    }
    if (code == 'M') {  // the keypad's Enter
        emit(keycode::Enter, '\n');
        return;
    }
    emit(finalKey(code));
}

void KeyDecoder::flushEscape() {
    const bool bareIntroducer = parameters_.empty() && (state_ == State::Csi || state_ == State::Ss3);
    if (state_ == State::Escape) {
        emit(keycode::Escape);
    } else if (bareIntroducer) {
        // Nothing after "Esc [" or "Esc O": Alt with that key.
        events_.push_back(decodeCharacter(state_ == State::Csi ? '[' : 'O'));
    } else if (state_ == State::Csi || state_ == State::Ss3 || state_ == State::LinuxFunction) {
        emit(keycode::None);
    }
    state_ = State::Ground;
}

InputEvent KeyDecoder::takeEvent() {
    if (events_.empty()) return {};
    InputEvent event = events_.front();
    events_.pop_front();
    return event;
}
