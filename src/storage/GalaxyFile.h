#pragma once
// The galaxy file on disk: whole records read and written at their offsets,
// and every save made all-or-nothing through a pending-save file beside the
// galaxy (format/PendingSave.h).

#include <string>

#include "storage/PendingSave.h"
#include "platform/Files.h"

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
