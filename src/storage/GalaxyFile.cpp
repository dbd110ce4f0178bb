// A save goes to the galaxy in three steps: its records to the pending-save
// file (synced, with the folder, when it must survive a power cut), then into
// the galaxy, then the pending-save file removed. Stopped after the first
// step, the next opening of the galaxy completes it; stopped during the
// first, the pending-save file is short or fails its checksum, and the
// galaxy still holds the previous save whole.

#include "storage/GalaxyFile.h"

#include <optional>

namespace {

bool writeRecords(platform::File& galaxyFile, const PendingSave& save) {
    if (!galaxyFile.writeAt(sectorRecordOffset(save.sector), save.sectorData.bytes.data(), SECTOR_RECORD_SIZE))
        return false;
    return !save.hasPlayer ||
           galaxyFile.writeAt(PLAYER_RECORD_OFFSET, save.playerData.bytes.data(), PLAYER_RECORD_SIZE);
}

// What the pending-save file holds.
struct PendingRead {
    enum class State { Missing, Unreadable, Read } state = State::Missing;
    std::optional<PendingSave> save;  // none when it was not written whole
};

PendingRead readPendingSave(const std::string& name) {
    platform::File file(name, platform::OpenMode::Read);
    if (!file.isOpen()) {
        const bool missing = file.openError() == platform::OpenError::Missing;
        return {missing ? PendingRead::State::Missing : PendingRead::State::Unreadable, {}};
    }
    // One byte more than a pending save: a longer file is no pending save either.
    std::array<std::uint8_t, PENDING_SAVE_SIZE + 1> bytes{};
    const std::int64_t got = file.readUpTo(0, bytes.data(), bytes.size());
    if (got < 0) return {PendingRead::State::Unreadable, {}};
    return {PendingRead::State::Read, decodePendingSave(bytes.data(), static_cast<std::size_t>(got))};
}

// Writes the pending-save file; a leftover of a stopped process is completed
// first, since this save must not replace a save that is not in the galaxy yet.
bool announceSave(const std::string& galaxyFile, const std::string& name, const PendingSave& save,
                  bool durable) {
    for (int attempt = 0;; ++attempt) {
        platform::File file(name, platform::OpenMode::CreateNew);
        if (!file.isOpen()) {
            if (file.openError() != platform::OpenError::NameTaken || attempt > 0) return false;
            if (galaxy::completePendingSave(galaxyFile) == galaxy::PendingOutcome::Failed) return false;
            continue;
        }
        const PendingSaveBytes bytes = encodePendingSave(save);
        // One write: the file is whole or fails its checksum.
        const bool written = file.writeAt(0, bytes.data(), bytes.size()) && (!durable || file.sync());
        if (!file.close() || !written) {
            platform::removeFile(name);
            return false;
        }
        if (durable) platform::syncFolderOf(name);
        return true;
    }
}

}  // namespace

std::string galaxy::pendingSaveFileName(const std::string& galaxyFile) {
    const std::size_t nameAt = platform::fileNameStart(galaxyFile);
    return galaxyFile.substr(0, nameAt) + "." + galaxyFile.substr(nameAt) + ".pending";
}

galaxy::PendingOutcome galaxy::completePendingSave(const std::string& galaxyFile) {
    const std::string name = pendingSaveFileName(galaxyFile);
    const PendingRead pending = readPendingSave(name);
    if (pending.state == PendingRead::State::Missing) return PendingOutcome::None;
    if (pending.state == PendingRead::State::Unreadable) return PendingOutcome::Failed;
    if (!pending.save) {
        // Stopped while it was written: the galaxy was not touched yet.
        platform::removeFile(name);
        return PendingOutcome::Discarded;
    }
    platform::File file(galaxyFile, platform::OpenMode::ReadWrite);
    if (!file.isOpen()) return PendingOutcome::Failed;
    // Rare, so always made to last before the pending save goes.
    const bool written = writeRecords(file, *pending.save) && file.sync();
    if (!file.close() || !written) return PendingOutcome::Failed;
    platform::removeFile(name);
    platform::syncFolderOf(name);
    return PendingOutcome::Completed;
}

bool galaxy::writeSave(const std::string& galaxyFile, const PendingSave& save, bool durable) {
    if (!isSectorNumber(save.sector)) return false;
    platform::File file(galaxyFile, platform::OpenMode::ReadWrite);
    if (!file.isOpen()) return false;
    const std::string name = pendingSaveFileName(galaxyFile);
    if (!announceSave(galaxyFile, name, save, durable)) return false;
    const bool written = writeRecords(file, save) && (!durable || file.sync());
    // A failure may have written part of the records: the pending save stays
    // for the next opening to complete.
    if (!file.close() || !written) return false;
    platform::removeFile(name);
    // Else a power cut could bring the file back over later quick saves.
    if (durable) platform::syncFolderOf(name);
    return true;
}
