#pragma once
// A file written from a second thread: the game's thread fills one buffer
// while the other is handed to the system and started on its way to the
// disk, so that generating a new galaxy and writing it overlap. Nothing else
// is shared: the second thread sees only the buffers handed to it. A process
// without threads (a page) writes each buffer when it is full.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"

class OverlappedWriter : public std::streambuf {
public:
    static constexpr std::size_t BUFFER_SIZE = std::size_t{1} << 20;

    // Creates (or empties) the file; isOpen() tells whether that worked.
    explicit OverlappedWriter(const std::string& path);
    ~OverlappedWriter() override;
    OverlappedWriter(const OverlappedWriter&) = delete;
    OverlappedWriter& operator=(const OverlappedWriter&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    // Writes what is left, waits for the second thread and closes the file;
    // false when any write failed. The file is not synced here.
    bool finish();

protected:
    int_type overflow(int_type ch) override;
    int sync() override;

private:
    // Passes what the game's thread has filled to the writer; false once a
    // write has failed.
    bool handOver();
    void writeLoop();
    // Writes at the end of what was written so far; the writer's own.
    bool write(const char* data, std::size_t size);
    // Without a writer thread: the filled buffer is written at once.
    bool writeNow(std::size_t size);
    void stopWriter();

    platform::File file_;
    std::int64_t written_ = 0;  // where the next buffer goes; the writer's own
    std::vector<char> filling_;
    std::vector<char> handed_;
    std::size_t handedSize_ = 0;
    bool handedPending_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
};
