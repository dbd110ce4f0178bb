// A save goes to the galaxy in three steps: its records to the pending-save
// file (synced, with the folder, when it must survive a power cut), then into
// the galaxy, then the pending-save file removed. Stopped after the first
// step, the next opening of the galaxy completes it; stopped during the
// first, the pending-save file is short or fails its checksum, and the
// galaxy still holds the previous save whole.

#include "galaxy/GalaxyFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

GalaxyFile::GalaxyFile(const std::string& name, int flags, unsigned mode)
    : fd_(::open(name.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(mode))) {
    if (fd_ < 0) openError_ = errno;
}

GalaxyFile::~GalaxyFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::int64_t GalaxyFile::readUpTo(std::int64_t offset, std::uint8_t* into, std::size_t size) {
    std::int64_t total = 0;
    while (size > 0) {
        const ssize_t got = ::pread(fd_, into, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        into += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
        total += got;
    }
    return total;
}

bool GalaxyFile::readAt(std::int64_t offset, std::uint8_t* into, std::size_t size) {
    return readUpTo(offset, into, size) == static_cast<std::int64_t>(size);
}

bool GalaxyFile::writeAt(std::int64_t offset, const std::uint8_t* from, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::pwrite(fd_, from, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        from += put;
        size -= static_cast<std::size_t>(put);
        offset += put;
    }
    return true;
}

bool GalaxyFile::sync() {
    for (;;) {
        if (::fsync(fd_) == 0) return true;
        if (errno != EINTR) return false;
    }
}

bool GalaxyFile::close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) == 0;
}

namespace {

std::string folderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

// A file's creation or removal survives a power cut only once its folder is
// on the disk too (where the file system can say so at all).
void syncFolderOf(const std::string& file) {
    GalaxyFile folder(folderOf(file), O_RDONLY | O_DIRECTORY);
    if (folder.isOpen()) folder.sync();
}

bool writeRecords(GalaxyFile& galaxyFile, const PendingSave& save) {
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
    GalaxyFile file(name, O_RDONLY);
    if (!file.isOpen())
        return {file.openError() == ENOENT ? PendingRead::State::Missing : PendingRead::State::Unreadable, {}};
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
        GalaxyFile file(name, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (!file.isOpen()) {
            if (file.openError() != EEXIST || attempt > 0) return false;
            if (galaxy::completePendingSave(galaxyFile) == galaxy::PendingOutcome::Failed) return false;
            continue;
        }
        const PendingSaveBytes bytes = encodePendingSave(save);
        // One write: the file is whole or fails its checksum.
        const bool written = file.writeAt(0, bytes.data(), bytes.size()) && (!durable || file.sync());
        if (!file.close() || !written) {
            ::unlink(name.c_str());
            return false;
        }
        if (durable) syncFolderOf(name);
        return true;
    }
}

}  // namespace

std::string galaxy::pendingSaveFileName(const std::string& galaxyFile) {
    const std::size_t slash = galaxyFile.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return galaxyFile.substr(0, nameAt) + "." + galaxyFile.substr(nameAt) + ".pending";
}

galaxy::PendingOutcome galaxy::completePendingSave(const std::string& galaxyFile) {
    const std::string name = pendingSaveFileName(galaxyFile);
    const PendingRead pending = readPendingSave(name);
    if (pending.state == PendingRead::State::Missing) return PendingOutcome::None;
    if (pending.state == PendingRead::State::Unreadable) return PendingOutcome::Failed;
    if (!pending.save) {
        // Stopped while it was written: the galaxy was not touched yet.
        ::unlink(name.c_str());
        return PendingOutcome::Discarded;
    }
    GalaxyFile file(galaxyFile, O_RDWR);
    if (!file.isOpen()) return PendingOutcome::Failed;
    // Rare, so always made to last before the pending save goes.
    const bool written = writeRecords(file, *pending.save) && file.sync();
    if (!file.close() || !written) return PendingOutcome::Failed;
    ::unlink(name.c_str());
    syncFolderOf(name);
    return PendingOutcome::Completed;
}

bool galaxy::writeSave(const std::string& galaxyFile, const PendingSave& save, bool durable) {
    if (!isSectorNumber(save.sector)) return false;
    GalaxyFile file(galaxyFile, O_RDWR);
    if (!file.isOpen()) return false;
    const std::string name = pendingSaveFileName(galaxyFile);
    if (!announceSave(galaxyFile, name, save, durable)) return false;
    const bool written = writeRecords(file, save) && (!durable || file.sync());
    // A failure may have written part of the records: the pending save stays
    // for the next opening to complete.
    if (!file.close() || !written) return false;
    ::unlink(name.c_str());
    // Else a power cut could bring the file back over later quick saves.
    if (durable) syncFolderOf(name);
    return true;
}
