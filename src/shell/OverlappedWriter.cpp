#include "shell/OverlappedWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

OverlappedWriter::OverlappedWriter(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)),
      filling_(BUFFER_SIZE),
      handed_(BUFFER_SIZE) {
    setp(filling_.data(), filling_.data() + filling_.size());
    if (fd_ >= 0) writer_ = std::thread([this] { writeLoop(); });
}

OverlappedWriter::~OverlappedWriter() {
    stopWriter();
    if (fd_ >= 0) ::close(fd_);
}

bool OverlappedWriter::finish() {
    const bool handed = handOver();
    stopWriter();
    const int fd = fd_;
    fd_ = -1;
    const bool closed = fd >= 0 && ::close(fd) == 0;
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
    std::unique_lock lock(mutex_);
    if (fd_ < 0 || !writer_.joinable()) return false;
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
        const bool written = writeAll(data, size);
        // Only a hint: the disk starts on this part while the next is made.
        if (written) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
        lock.lock();
        failed_ = failed_ || !written;
        handedPending_ = false;
        changed_.notify_all();
    }
}

bool OverlappedWriter::writeAll(const char* data, std::size_t size) const {
    while (size > 0) {
        const ssize_t put = ::write(fd_, data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
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
