#include "console/RecordingBackend.h"

using recording::Event;
using recording::Kind;

namespace {
Event eventOf(Kind kind) {
    Event event;
    event.kind = kind;
    return event;
}
}  // namespace

std::FILE* RecordingBackend::createFile(const std::filesystem::path& file) {
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    if (out == nullptr) throw recording::Refused("cannot create the recording " + file.string());
    return out;
}

RecordingBackend::RecordingBackend(std::unique_ptr<Backend> inner, std::FILE* file, unsigned seed)
    : inner_(std::move(inner)), out_(file) {
    start_ = inner_->nowMs();
    const std::string head = recording::header(seed);
    whole_ = std::fputs(head.c_str(), out_) >= 0;
    flush();
}

RecordingBackend::~RecordingBackend() {
    flush();
    std::fclose(out_);
}

void RecordingBackend::write(Event event) {
    const std::uint64_t now = inner_->nowMs();
    event.time = now >= start_ ? now - start_ : 0;
    const std::string line = recording::formatEvent(event, lastTime_) + '\n';
    lastTime_ = event.time;
    if (std::fputs(line.c_str(), out_) < 0) whole_ = false;
}

void RecordingBackend::flush() {
    if (std::fflush(out_) != 0) whole_ = false;
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

void RecordingBackend::present(const ScreenGrid& grid, COORD cursor, bool cursorVisible) {
    inner_->present(grid, cursor, cursorVisible);
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
    event.text = recording::printable(title);
    write(event);
}
