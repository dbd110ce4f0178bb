#pragma once
// The galaxy file on disk: whole records read and written at their offsets,
// and every save made all-or-nothing through a pending-save file beside the
// galaxy (format/PendingSave.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "format/PendingSave.h"

// An open file, closed when it goes out of scope.
class GalaxyFile {
public:
    GalaxyFile(const std::string& name, int flags, unsigned mode = 0);
    ~GalaxyFile();
    GalaxyFile(const GalaxyFile&) = delete;
    GalaxyFile& operator=(const GalaxyFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The reason the file did not open (errno), 0 when it did.
    int openError() const { return openError_; }

    // False when the file ends before the whole span was read.
    bool readAt(std::int64_t offset, std::uint8_t* into, std::size_t size);
    // Reads until the span is full or the file ends: the count read, or -1
    // when the system reports an error.
    std::int64_t readUpTo(std::int64_t offset, std::uint8_t* into, std::size_t size);
    bool writeAt(std::int64_t offset, const std::uint8_t* from, std::size_t size);
    // Waits until what was written is on the disk.
    bool sync();
    // Closes now; false when the system reports that the writes failed.
    bool close();

private:
    int fd_;
    int openError_ = 0;
};

namespace galaxy {

// The hidden file beside `galaxyFile` that holds a save on its way in:
// "dir/NAME.glx" gives "dir/.NAME.glx.pending".
std::string pendingSaveFileName(const std::string& galaxyFile);

enum class PendingOutcome {
    None,       // no save was pending
    Completed,  // a whole pending save was written into the galaxy
    Discarded,  // a pending save that was not written whole was dropped
    Failed,     // a pending save is there and could not be completed
};

// Completes the save a stopped process left half done, before anything else
// reads or writes the galaxy.
PendingOutcome completePendingSave(const std::string& galaxyFile);

// Writes the sector record and the player record of `save` so that a process
// killed at any moment leaves both or neither; with `durable`, the same holds
// for a power cut and both are on the disk when it returns. False (nothing or
// everything will have been written) when the galaxy cannot be written.
bool writeSave(const std::string& galaxyFile, const PendingSave& save, bool durable);

}  // namespace galaxy
