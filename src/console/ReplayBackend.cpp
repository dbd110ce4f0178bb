#include "console/ReplayBackend.h"

#include <algorithm>

#include "console/Interrupt.h"
#include "console/KeyDecoder.h"

using recording::Event;
using recording::Kind;

namespace {

// The fastest pace a viewer can ask for.
constexpr unsigned MAX_SPEED = 1024;
// How long the pace waits at most before it looks at the time again.
constexpr std::uint64_t PACE_STEP_MS = 250;

std::string place(COORD cell, bool shown) {
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

ReplayBackend::ReplayBackend(recording::Recording recording, std::unique_ptr<Backend> presenter)
    : recording_(std::move(recording)), presenter_(std::move(presenter)) {}

void ReplayBackend::diverge(const Event& at, const std::string& how) const {
    throw ReplayDiverged("the game went another way at event " + std::to_string(next_ + 1) + " (line " +
                         std::to_string(at.line) + ", " + recording::seconds(at.time) + " into the recording): " + how);
}

const Event& ReplayBackend::take(Kind kind, const std::string& asked) {
    const std::vector<Event>& events = recording_.events;
    while (next_ < events.size() && isNote(events[next_].kind)) ++next_;
    // A recording cut short, or ended by a stop, has been replayed whole.
    if (next_ >= events.size() || events[next_].kind == Kind::Stopped) throw ReplayEnded();
    const Event& event = events[next_];
    if (event.kind == Kind::End) diverge(event, "the game asked for " + asked + " after the recorded game had ended");
    if (event.kind != kind)
        diverge(event, "the game asked for " + asked + " where the recording has " + recording::describe(event));
    pace(event);
    time_ = event.time;
    ++next_;
    return event;
}

void ReplayBackend::expectEnd() {
    const std::vector<Event>& events = recording_.events;
    for (std::size_t i = next_; i < events.size(); ++i) {
        const Kind kind = events[i].kind;
        if (isNote(kind) || kind == Kind::End || kind == Kind::Stopped) continue;
        next_ = i;
        diverge(events[i], "the game ended where the recording goes on with " + recording::describe(events[i]));
    }
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

void ReplayBackend::present(const ScreenGrid& grid, COORD cursor, bool cursorVisible) {
    const Event& event = take(Kind::Present, "a screen");
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
    const Event& event = take(Kind::Wait, "a wait of " + std::to_string(timeoutMs) + " ms");
    if (event.value != timeoutMs)
        diverge(event, "the game waited " + std::to_string(timeoutMs) + " ms where the recording waited " +
                           std::to_string(event.value) + " ms");
    return event.detail != 0;
}

InputEvent ReplayBackend::takeInput() {
    const Event& event = take(Kind::Input, "an input event");
    return InputEvent{static_cast<unsigned>(event.value), static_cast<char>(event.detail)};
}

std::uint64_t ReplayBackend::nowMs() { return static_cast<std::uint64_t>(take(Kind::Clock, "a clock reading").value); }

void ReplayBackend::sleepMs(unsigned ms) {
    const Event& event = take(Kind::Sleep, "a pause of " + std::to_string(ms) + " ms");
    if (event.value != ms)
        diverge(event, "the game paused " + std::to_string(ms) + " ms where the recording paused " +
                           std::to_string(event.value) + " ms");
}

void ReplayBackend::setTitle(const std::string& title) {
    const Event& event = take(Kind::Title, "the title \"" + title + "\"");
    if (event.text != recording::printable(title))
        diverge(event, "the game set the title \"" + title + "\" where the recording has \"" + event.text + "\"");
    if (presenter_) presenter_->setTitle(title);
}

// ---- Scripted ---------------------------------------------------------------

ScriptedBackend::ScriptedBackend(const recording::Recording& recording) {
    for (const Event& event : recording.events) {
        end_ = std::max(end_, event.time);
        if (event.kind == Kind::Input)
            inputs_.push_back(
                Timed{event.time, InputEvent{static_cast<unsigned>(event.value), static_cast<char>(event.detail)}});
        if (event.kind == Kind::Stopped) {
            stopSignal_ = static_cast<int>(event.value);
            stopTime_ = event.time;
        }
    }
}

ScriptedBackend::~ScriptedBackend() {
    if (stopped_) interrupt::reset();
}

bool ScriptedBackend::stopWithin(std::uint64_t ms) {
    if (next_ < inputs_.size() || stopSignal_ == 0 || stopped_) return false;
    if (stopTime_ > now_ && stopTime_ - now_ > ms) return false;
    now_ = std::max(now_, stopTime_);
    stopped_ = true;
    interrupt::deliver(stopSignal_);
    return true;
}

bool ScriptedBackend::waitForInput(int timeoutMs) {
    const std::uint64_t wait = timeoutMs < 0 ? UINT64_MAX - now_ : static_cast<std::uint64_t>(timeoutMs);
    if (next_ < inputs_.size()) {
        const std::uint64_t arrival = inputs_[next_].time;
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
    if (next_ >= inputs_.size()) throw ReplayEnded();
    now_ = std::max(now_, inputs_[next_].time);
    return inputs_[next_++].input;
}

void ScriptedBackend::sleepMs(unsigned ms) {
    if (!stopWithin(ms)) now_ += ms;
}
