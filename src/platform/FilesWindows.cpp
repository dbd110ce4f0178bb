#include "platform/Files.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace platform {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD accessOf(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read: return GENERIC_READ;
        case OpenMode::ReadWrite: return GENERIC_READ | GENERIC_WRITE;
        case OpenMode::CreateNew:
        case OpenMode::Replace: return GENERIC_WRITE;
    }
    return GENERIC_READ;
}

DWORD dispositionOf(OpenMode mode) {
    switch (mode) {
        case OpenMode::Read:
        case OpenMode::ReadWrite: return OPEN_EXISTING;
        case OpenMode::CreateNew: return CREATE_NEW;
        case OpenMode::Replace: return CREATE_ALWAYS;
    }
    return OPEN_EXISTING;
}

OpenError openErrorOf(DWORD error) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return OpenError::Missing;
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return OpenError::NameTaken;
    return OpenError::Other;
}

// The offset of one transfer; the handle is synchronous, so the call still
// waits for the transfer to finish.
OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return where;
}

// At most this much in one call, since a transfer's size is 32 bits.
DWORD chunk(std::size_t size) { return static_cast<DWORD>(size < 0x40000000u ? size : 0x40000000u); }

}  // namespace

File::File(const std::string& path, OpenMode mode) {
    // Other handles may read and write it, as on POSIX (a load completes a
    // pending save through a second handle); but Windows refuses to remove
    // or rename an open file, so the game never does.
    const HANDLE handle = CreateFileA(path.c_str(), accessOf(mode), FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      dispositionOf(mode), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        openError_ = openErrorOf(GetLastError());
    else
        handle_ = reinterpret_cast<std::intptr_t>(handle);
}

File::~File() {
    if (isOpen()) CloseHandle(handleOf(handle_));
}

std::int64_t File::readUpTo(std::int64_t offset, std::uint8_t* into, std::size_t size) {
    std::int64_t total = 0;
    while (size > 0) {
        OVERLAPPED where = at(offset);
        DWORD got = 0;
        if (!ReadFile(handleOf(handle_), into, chunk(size), &got, &where))
            return GetLastError() == ERROR_HANDLE_EOF ? total : -1;
        if (got == 0) break;
        into += got;
        size -= got;
        offset += got;
        total += got;
    }
    return total;
}

bool File::writeAt(std::int64_t offset, const std::uint8_t* from, std::size_t size) {
    while (size > 0) {
        OVERLAPPED where = at(offset);
        DWORD put = 0;
        if (!WriteFile(handleOf(handle_), from, chunk(size), &put, &where) || put == 0) return false;
        from += put;
        size -= put;
        offset += put;
    }
    return true;
}

bool File::sync() { return FlushFileBuffers(handleOf(handle_)) != 0; }

// Windows starts written data on its way to the disk by itself.
void File::startWriteback() {}

bool File::close() {
    const std::intptr_t handle = handle_;
    handle_ = CLOSED;
    return handle != CLOSED && CloseHandle(handleOf(handle)) != 0;
}

std::size_t fileNameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

RenameResult renameWithoutReplacing(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING a name that is taken is refused;
    // write-through makes the new name last before the call returns.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return RenameResult::Renamed;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? RenameResult::NameTaken
                                                                       : RenameResult::Failed;
}

// NTFS journals its folders, and a program cannot flush a folder there:
// the file's own sync and write-through renames are all there is.
void syncFolderOf(const std::string&) {}

}  // namespace platform
