#include "storage/OverlappedWriter.h"

#include "platform/Interrupts.h"
#include "platform/Process.h"

OverlappedWriter::OverlappedWriter(const std::string& path)
    : file_(path, platform::OpenMode::Replace), filling_(BUFFER_SIZE), handed_(BUFFER_SIZE) {
    setp(filling_.data(), filling_.data() + filling_.size());
    // Ctrl+C and the other stops belong to the game's thread, which unwinds
    // and removes the unfinished galaxy. Where the process has no second
    // thread (a page), each buffer is written as it is handed over.
    if (file_.isOpen() && platform::threadsAvailable())
        writer_ = interrupt::threadWithoutStops([this] { writeLoop(); });
}

// The file closes after the writer has stopped, and so before anyone may
// remove or rename it.
OverlappedWriter::~OverlappedWriter() { stopWriter(); }

bool OverlappedWriter::finish() {
    const bool handed = handOver();
    stopWriter();
    const bool closed = file_.close();
    std::lock_guard lock(mutex_);
    return handed && closed && !failed_;
}

OverlappedWriter::int_type OverlappedWriter::overflow(int_type ch) {
    if (!handOver()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int OverlappedWriter::sync() { return handOver() ? 0 : -1; }

bool OverlappedWriter::handOver() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    // Without a writer thread the buffer is written here and now.
    if (!platform::threadsAvailable()) return file_.isOpen() && writeNow(size);
    std::unique_lock lock(mutex_);
    if (!file_.isOpen() || !writer_.joinable()) return false;
    if (size > 0) {
        // The writer must be done with its buffer before it gets this one.
        changed_.wait(lock, [this] { return !handedPending_; });
        filling_.swap(handed_);
        handedSize_ = size;
        handedPending_ = true;
        changed_.notify_all();
        setp(filling_.data(), filling_.data() + filling_.size());
    }
    return !failed_;
}

void OverlappedWriter::writeLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return handedPending_ || stopping_; });
        if (!handedPending_) return;
        const char* const data = handed_.data();
        const std::size_t size = handedSize_;
        lock.unlock();
        const bool written = write(data, size);
        lock.lock();
        failed_ = failed_ || !written;
        handedPending_ = false;
        changed_.notify_all();
    }
}

bool OverlappedWriter::write(const char* data, std::size_t size) {
    const bool written = file_.writeAt(written_, reinterpret_cast<const std::uint8_t*>(data), size);
    written_ += static_cast<std::int64_t>(size);
    // Only a hint: the disk starts on this part while the next is made.
    if (written) file_.startWriteback();
    return written;
}

bool OverlappedWriter::writeNow(std::size_t size) {
    if (size > 0) failed_ = !write(filling_.data(), size) || failed_;
    setp(filling_.data(), filling_.data() + filling_.size());
    return !failed_;
}

void OverlappedWriter::stopWriter() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}
