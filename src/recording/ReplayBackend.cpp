#include "recording/ReplayBackend.h"

#include <algorithm>

#include "screen/Interrupt.h"
#include "screen/KeyCodes.h"

using recording::Event;
using recording::Kind;

namespace {

// The fastest pace a viewer can ask for.
constexpr unsigned MAX_SPEED = 1024;
// How long the pace waits at most before it looks at the time again.
constexpr std::uint64_t PACE_STEP_MS = 250;

std::string place(Coord cell, bool shown) {
    // Appended piece by piece: "(" + a temporary string trips a false alarm of GCC 12.
    std::string text = "(";
    text += std::to_string(cell.X);
    text += ", ";
    text += std::to_string(cell.Y);
    text += shown ? ") shown" : ") hidden";
    return text;
}

bool isNote(Kind kind) { return kind == Kind::Galaxy; }

}  // namespace

ReplayBackend::ReplayBackend(recording::Reader recording, std::unique_ptr<Backend> presenter)
    : recording_(std::move(recording)), presenter_(std::move(presenter)) {}

void ReplayBackend::diverge(const Event& at, const std::string& how) const {
    throw ReplayDiverged("the game went another way at event " + std::to_string(next_ + 1) + " (line " +
                         std::to_string(at.line) + ", " + recording::seconds(at.time) + " into the recording): " + how);
}

const Event* ReplayBackend::peek() {
    for (;;) {
        if (!ahead_) ahead_ = recording_.next();
        if (!ahead_ || !isNote(ahead_->kind)) return ahead_ ? &*ahead_ : nullptr;
        advance();
    }
}

Event ReplayBackend::advance() {
    Event event = std::move(*ahead_);
    ahead_.reset();
    ++next_;
    return event;
}

void ReplayBackend::takeLast() {
    const Event last = advance();
    if (const Event* more = peek())
        diverge(*more, "the recording goes on after " + recording::describe(last) + " (line " +
                           std::to_string(last.line) + ") with " + recording::describe(*more));
}

Event ReplayBackend::take(Kind kind, const std::string& asked) {
    // Ctrl+C, termination or hangup end a check as they end a game.
    interrupt::throwIfPending();
    const Event* event = peek();
    // A recording cut short, or ended by a stop, has been replayed whole.
    if (event == nullptr) throw ReplayEnded();
    if (event->kind == Kind::Stopped) {
        takeLast();
        throw ReplayEnded();
    }
    if (event->kind == Kind::End)
        diverge(*event, "the game asked for " + asked + " after the recorded game had ended");
    if (event->kind != kind)
        diverge(*event, "the game asked for " + asked + " where the recording has " + recording::describe(*event));
    pace(*event);
    time_ = event->time;
    return advance();
}

void ReplayBackend::expectEnd() {
    const Event* event = peek();
    if (event == nullptr) return;
    if (event->kind == Kind::End || event->kind == Kind::Stopped) return takeLast();
    diverge(*event, "the game ended where the recording goes on with " + recording::describe(*event));
}

void ReplayBackend::pace(const Event& event) {
    if (!presenter_) return;
    if (anchorReal_ == 0) {
        anchorReal_ = presenter_->nowMs();
        anchorRecorded_ = event.time;
    }
    while (interrupt::pending() == 0) {
        const std::uint64_t now = presenter_->nowMs();
        const std::uint64_t due =
            anchorReal_ + (event.time > anchorRecorded_ ? event.time - anchorRecorded_ : 0) / speed_;
        if (now >= due) return;
        if (!presenter_->waitForInput(static_cast<int>(std::min(due - now, PACE_STEP_MS)))) continue;
        const InputEvent key = presenter_->takeInput();
        if (key.vk == keycode::Escape) throw ReplayStopped();
        if (key.vk == keycode::None && key.ch == 0) continue;  // not a key: a resize
        // Any other key doubles the pace from this moment on.
        anchorRecorded_ += (now - anchorReal_) * speed_;
        anchorReal_ = now;
        speed_ = std::min(speed_ * 2, MAX_SPEED);
    }
}

void ReplayBackend::present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) {
    const Event event = take(Kind::Present, "a screen");
    recording::applyChanges(expected_, event.changes);
    if (presenter_) presenter_->present(grid, cursor, cursorVisible);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (!(expected_.at(x, y) == grid.at(x, y)))
                diverge(event, "the screen differs at cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                   "): the recording shows " + recording::describeCell(expected_.at(x, y)) +
                                   ", the game showed " + recording::describeCell(grid.at(x, y)));
    if (!(event.cursor == cursor) || event.cursorVisible != cursorVisible)
        diverge(event, "the cursor differs: the recording has it at " + place(event.cursor, event.cursorVisible) +
                           ", the game at " + place(cursor, cursorVisible));
    if (recording::screenChecksum(expected_, cursor, cursorVisible) != event.checksum)
        diverge(event, "the recorded screen does not match its checksum: the recording is damaged");
    ++screens_;
}

bool ReplayBackend::waitForInput(int timeoutMs) {
    const Event event = take(Kind::Wait, "a wait of " + std::to_string(timeoutMs) + " ms");
    if (event.value != timeoutMs)
        diverge(event, "the game waited " + std::to_string(timeoutMs) + " ms where the recording waited " +
                           std::to_string(event.value) + " ms");
    return event.detail != 0;
}

InputEvent ReplayBackend::takeInput() {
    const Event event = take(Kind::Input, "an input event");
    return InputEvent{static_cast<unsigned>(event.value), static_cast<char>(event.detail)};
}

std::uint64_t ReplayBackend::nowMs() { return static_cast<std::uint64_t>(take(Kind::Clock, "a clock reading").value); }

void ReplayBackend::sleepMs(unsigned ms) {
    const Event event = take(Kind::Sleep, "a pause of " + std::to_string(ms) + " ms");
    if (event.value != ms)
        diverge(event, "the game paused " + std::to_string(ms) + " ms where the recording paused " +
                           std::to_string(event.value) + " ms");
}

void ReplayBackend::setTitle(const std::string& title) {
    // As the recording keeps it: printable, and cut at its longest.
    const std::string shown = recording::printable(title).substr(0, recording::MAX_TITLE);
    const Event event = take(Kind::Title, "the title \"" + shown + "\"");
    if (event.text != shown)
        diverge(event, "the game set the title \"" + shown + "\" where the recording has \"" + event.text + "\"");
    if (presenter_) presenter_->setTitle(title);
}

// ---- Scripted ---------------------------------------------------------------

ScriptedBackend::ScriptedBackend(recording::Reader keys, Summary summary)
    : keys_(std::move(keys)), end_(summary.end), stopSignal_(summary.stopSignal), stopTime_(summary.stopTime) {}

const ScriptedBackend::Timed* ScriptedBackend::nextKey() {
    while (!ahead_) {
        const std::optional<Event> event = keys_.next();
        if (!event) return nullptr;
        if (event->kind == Kind::Input)
            ahead_ = Timed{event->time, InputEvent{static_cast<unsigned>(event->value), static_cast<char>(event->detail)}};
    }
    return &*ahead_;
}

ScriptedBackend::~ScriptedBackend() {
    if (stopped_) interrupt::reset();
}

bool ScriptedBackend::stopWithin(std::uint64_t ms) {
    if (nextKey() != nullptr || stopSignal_ == 0 || stopped_) return false;
    if (stopTime_ > now_ && stopTime_ - now_ > ms) return false;
    now_ = std::max(now_, stopTime_);
    stopped_ = true;
    interrupt::deliver(stopSignal_);
    return true;
}

bool ScriptedBackend::waitForInput(int timeoutMs) {
    const std::uint64_t wait = timeoutMs < 0 ? UINT64_MAX - now_ : static_cast<std::uint64_t>(timeoutMs);
    if (const Timed* key = nextKey()) {
        const std::uint64_t arrival = key->time;
        if (arrival <= now_ || arrival - now_ <= wait) {
            now_ = std::max(now_, arrival);
            return true;
        }
        now_ += wait;
        return false;
    }
    if (stopWithin(wait)) return false;
    // Nothing more comes: timed screens run on until the recording's end.
    if (timeoutMs < 0 || now_ > end_) throw ReplayEnded();
    now_ += wait;
    return false;
}

InputEvent ScriptedBackend::takeInput() {
    const Timed* key = nextKey();
    if (key == nullptr) throw ReplayEnded();
    now_ = std::max(now_, key->time);
    const InputEvent input = key->input;
    ahead_.reset();
    return input;
}

void ScriptedBackend::sleepMs(unsigned ms) {
    if (!stopWithin(ms)) now_ += ms;
}
