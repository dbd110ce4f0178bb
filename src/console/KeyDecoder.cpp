#include "console/KeyDecoder.h"

InputEvent decodeCharacter(unsigned char c) {
    if (c >= 'a' && c <= 'z') return {static_cast<unsigned>(c - 'a' + 'A'), static_cast<char>(c)};
    if (c >= 'A' && c <= 'Z') return {static_cast<unsigned>(c), static_cast<char>(c)};
    if (c >= '0' && c <= '9') return {static_cast<unsigned>(c), static_cast<char>(c)};
    switch (c) {
        case '\r':
        case '\n': return {keycode::Enter, '\n'};
        case 27: return {keycode::Escape, 0};
        case 8:
        case 127: return {keycode::Backspace, '\b'};
        case ',':
        case '<': return {keycode::Comma, static_cast<char>(c)};
        case '.':
        case '>': return {keycode::Period, static_cast<char>(c)};
        case '`':
        case '~': return {keycode::Tilde, static_cast<char>(c)};
        default: break;
    }
    // Other printable characters type text but are no key the game reacts to.
    if (c >= 32 && c < 127) return {keycode::None, static_cast<char>(c)};
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
    }
}

void KeyDecoder::feedGround(int code) {
    switch (code) {
        case rawkey::Up: emit(keycode::Up); return;
        case rawkey::Down: emit(keycode::Down); return;
        case rawkey::Left: emit(keycode::Left); return;
        case rawkey::Right: emit(keycode::Right); return;
        case rawkey::Backspace: emit(keycode::Backspace, '\b'); return;
        case rawkey::Enter: emit(keycode::Enter, '\n'); return;
        default: break;
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

void KeyDecoder::feedEscape(int code) {
    if (code == '[') {
        state_ = State::Csi;
    } else if (code == 'O') {
        state_ = State::Ss3;
    } else {
        // Esc followed by something that starts no sequence: a lone Esc key.
        state_ = State::Ground;
        emit(keycode::Escape);
        feedGround(code);
    }
}

static unsigned arrowFor(int final) {
    switch (final) {
        case 'A': return keycode::Up;
        case 'B': return keycode::Down;
        case 'C': return keycode::Right;
        case 'D': return keycode::Left;
        default: return keycode::None;
    }
}

void KeyDecoder::feedCsi(int code) {
    // Parameters and intermediates run until a final byte from '@' to '~'.
    if (code >= 0x40 && code <= 0x7E) {
        state_ = State::Ground;
        emit(arrowFor(code));
        return;
    }
    if (code < 0x20 || code > 0x3F) {
        // Not a valid sequence: drop it and read the byte afresh.
        state_ = State::Ground;
        emit(keycode::None);
        feedGround(code);
    }
}

void KeyDecoder::feedSs3(int code) {
    state_ = State::Ground;
    emit(arrowFor(code));
}

void KeyDecoder::flushEscape() {
    if (state_ == State::Escape) emit(keycode::Escape);
    else if (state_ != State::Ground) emit(keycode::None);
    state_ = State::Ground;
}

InputEvent KeyDecoder::takeEvent() {
    if (events_.empty()) return {};
    InputEvent event = events_.front();
    events_.pop_front();
    return event;
}
