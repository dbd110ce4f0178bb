#include "presenters/headless/HeadlessBackend.h"

#include <algorithm>
#include <climits>

#include "screen/Interrupt.h"
#include "presenters/terminal/KeyDecoder.h"

namespace {
// Virtual time a test may idle after its script ran out before the run is
// stopped: long enough for every timed screen, short enough to end a stuck loop.
constexpr std::uint64_t IDLE_LIMIT_MS = 24ull * 60 * 60 * 1000;
}  // namespace

void HeadlessBackend::pushKey(unsigned vk) {
    InputEvent event{vk, 0};
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) event.ch = static_cast<char>(vk);
    if (vk == keycode::Enter) event.ch = '\n';
    if (vk == keycode::Backspace) event.ch = '\b';
    if (vk == keycode::Space) event.ch = ' ';
    script_.push_back(Scripted{pendingDelay_, event});
    pendingDelay_ = 0;
}

void HeadlessBackend::pushKeys(std::initializer_list<unsigned> vks) {
    for (unsigned vk : vks) pushKey(vk);
}

void HeadlessBackend::pushText(std::string_view text) {
    KeyDecoder decoder;
    for (char ch : text) {
        decoder.feed(static_cast<unsigned char>(ch));
        decoder.flushEscape();
        while (decoder.hasEvent()) {
            script_.push_back(Scripted{pendingDelay_, decoder.takeEvent()});
            pendingDelay_ = 0;
        }
    }
}

void HeadlessBackend::pushDelay(unsigned ms) { pendingDelay_ += ms; }

void HeadlessBackend::pushSignal(int signal) {
    script_.push_back(Scripted{pendingDelay_, InputEvent{}, signal});
    pendingDelay_ = 0;
}

HeadlessBackend::~HeadlessBackend() {
    if (signalled_) interrupt::reset();
}

bool HeadlessBackend::deliverSignal(int timeoutMs) {
    if (script_.empty() || script_.front().signal == 0) return false;
    if (!arrivalKnown_) {
        arrival_ = now_ + script_.front().delay;
        arrivalKnown_ = true;
    }
    if (timeoutMs >= 0 && arrival_ > now_ + static_cast<std::uint64_t>(timeoutMs)) return false;
    if (arrival_ > now_) now_ = arrival_;
    arrivalKnown_ = false;
    interrupt::deliver(script_.front().signal);
    script_.pop_front();
    signalled_ = true;
    signalledAt_ = now_;
    return true;
}

void HeadlessBackend::present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) {
    screen_ = grid;
    cursor_ = cursor;
    cursorVisible_ = cursorVisible;
    ++presents_;
    if (onPresent) onPresent(*this);
}

bool HeadlessBackend::waitForInput(int timeoutMs) {
    if (deliverSignal(timeoutMs)) return false;
    if (script_.empty()) {
        if (timeoutMs < 0) throw ScriptExhausted();
        now_ += static_cast<std::uint64_t>(timeoutMs);
        idleSinceExhausted_ += static_cast<std::uint64_t>(timeoutMs);
        if (idleSinceExhausted_ > IDLE_LIMIT_MS) throw ScriptExhausted();
        return false;
    }
    if (!arrivalKnown_) {
        arrival_ = now_ + script_.front().delay;
        arrivalKnown_ = true;
    }
    if (timeoutMs < 0 || arrival_ <= now_ + static_cast<std::uint64_t>(timeoutMs)) {
        if (arrival_ > now_) now_ = arrival_;
        return true;
    }
    now_ += static_cast<std::uint64_t>(timeoutMs);
    return false;
}

void HeadlessBackend::sleepMs(unsigned ms) {
    if (!deliverSignal(static_cast<int>(std::min<unsigned>(ms, INT_MAX)))) now_ += ms;
}

InputEvent HeadlessBackend::takeInput() {
    if (script_.empty()) throw ScriptExhausted();
    if (!arrivalKnown_) arrival_ = now_ + script_.front().delay;
    if (arrival_ > now_) now_ = arrival_;
    arrivalKnown_ = false;
    const InputEvent event = script_.front().event;
    script_.pop_front();
    return event;
}
