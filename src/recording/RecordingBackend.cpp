#include "recording/RecordingBackend.h"

using recording::Event;
using recording::Kind;

namespace {

// Lines are handed on at the latest when this much waits, so that a game
// that never waits for a key cannot make the buffer grow.
constexpr std::size_t FLUSH_AT = 1 << 16;

Event eventOf(Kind kind) {
    Event event;
    event.kind = kind;
    return event;
}

}  // namespace

std::unique_ptr<platform::File> RecordingBackend::createFile(const std::filesystem::path& file) {
    auto out = std::make_unique<platform::File>(file.string(), platform::OpenMode::CreateNew);
    if (out->isOpen()) return out;
    switch (out->openError()) {
        case platform::OpenError::NameTaken:
            throw recording::Refused(file.string() + " exists already: a recording never replaces a file, give a new name.");
        case platform::OpenError::Missing:
            throw recording::Refused("cannot create the recording " + file.string() + ": its folder does not exist.");
        default: throw recording::Refused("cannot create the recording " + file.string() + ".");
    }
}

RecordingBackend::RecordingBackend(std::unique_ptr<Backend> inner, std::unique_ptr<platform::File> file, unsigned seed)
    : inner_(std::move(inner)), out_(std::move(file)) {
    start_ = inner_->nowMs();
    pending_ = recording::header(seed);
    flush();
}

RecordingBackend::~RecordingBackend() { finish(false); }

void RecordingBackend::stop(const std::string& why) {
    if (!failure_.empty()) return;
    failure_ = "stopped " + recording::seconds(lastTime_) + " into the game: " + why;
    pending_.clear();
}

bool RecordingBackend::finish(bool sync) {
    if (!out_) return failure_.empty();
    flush();
    if (sync && failure_.empty() && !out_->sync()) stop("the recording could not be put on the disk");
    if (!out_->close() && failure_.empty()) stop("closing the recording failed");
    out_.reset();
    return failure_.empty();
}

void RecordingBackend::write(Event event) {
    const std::uint64_t now = inner_->nowMs();
    event.time = now >= start_ ? now - start_ : 0;
    if (!failure_.empty() || !out_) return;
    pending_ += recording::formatEvent(event, lastTime_);
    pending_ += '\n';
    lastTime_ = event.time;
    if (pending_.size() >= FLUSH_AT) flush();
}

void RecordingBackend::flush() {
    if (pending_.empty() || !failure_.empty() || !out_) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pending_.data());
    if (!out_->writeAt(written_, bytes, pending_.size())) {
        stop("writing the recording failed (a full disk, a lost drive or a file too large)");
        return;
    }
    written_ += static_cast<std::int64_t>(pending_.size());
    pending_.clear();
}

void RecordingBackend::noteGalaxy(const std::string& name, std::uint32_t checksum, std::uint64_t size) {
    Event event = eventOf(Kind::Galaxy);
    event.checksum = checksum;
    event.size = size;
    event.text = name;
    write(event);
    flush();
}

void RecordingBackend::noteEnd(int signal) {
    Event event = eventOf(signal != 0 ? Kind::Stopped : Kind::End);
    event.value = signal;
    write(event);
    flush();
}

void RecordingBackend::present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) {
    inner_->present(grid, cursor, cursorVisible);
    if (!failure_.empty()) return;
    Event event = eventOf(Kind::Present);
    event.checksum = recording::screenChecksum(grid, cursor, cursorVisible);
    event.cursor = cursor;
    event.cursorVisible = cursorVisible;
    event.changes = recording::screenChanges(shown_, grid);
    shown_ = grid;
    write(event);
}

bool RecordingBackend::waitForInput(int timeoutMs) {
    // Everything so far reaches the file before the game may block.
    flush();
    const bool came = inner_->waitForInput(timeoutMs);
    Event event = eventOf(Kind::Wait);
    event.value = timeoutMs;
    event.detail = came ? 1 : 0;
    write(event);
    return came;
}

InputEvent RecordingBackend::takeInput() {
    const InputEvent input = inner_->takeInput();
    Event event = eventOf(Kind::Input);
    event.value = input.vk;
    event.detail = static_cast<unsigned char>(input.ch);
    write(event);
    return input;
}

std::uint64_t RecordingBackend::nowMs() {
    const std::uint64_t now = inner_->nowMs();
    Event event = eventOf(Kind::Clock);
    event.value = static_cast<std::int64_t>(now);
    write(event);
    return now;
}

void RecordingBackend::sleepMs(unsigned ms) {
    flush();
    inner_->sleepMs(ms);
    Event event = eventOf(Kind::Sleep);
    event.value = ms;
    write(event);
}

void RecordingBackend::setTitle(const std::string& title) {
    inner_->setTitle(title);
    Event event = eventOf(Kind::Title);
    event.text = recording::printable(title).substr(0, recording::MAX_TITLE);
    write(event);
}
