#include "platform/Files.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace platform {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The game's paths are UTF-8; Windows takes UTF-16, so that any folder name
// works, whatever the ANSI code page.
std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

// A scanner or an indexer may open a new file for a moment without leave
// to share it; the game's own opening, renaming or removal then waits for
// it, up to about a second.
constexpr ULONGLONG BUSY_PATIENCE_MS = 1000;
constexpr DWORD BUSY_PAUSE_MS = 20;

bool busyElsewhere(DWORD error, const std::wstring& path) {
    if (error == ERROR_SHARING_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    // A folder or a read-only file refuses for good; a file on its way out
    // (or one nobody may even look at) may be gone in a moment.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// Repeats `attempt` (true when it worked) while another process keeps
// `path` busy; the last error is the last attempt's.
template <typename Attempt>
bool patiently(const std::wstring& path, Attempt attempt) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (!busyElsewhere(error, path) || GetTickCount64() - start >= BUSY_PATIENCE_MS) {
            SetLastError(error);
            return false;
        }
        Sleep(BUSY_PAUSE_MS);
    }
}

bool isDotFile(const std::string& path) {
    const std::size_t start = fileNameStart(path);
    return start < path.size() && path[start] == '.';
}

// Working files (a pending save, a galaxy being created) are hidden like
// dot-files elsewhere.
DWORD attributesOf(const std::string& path, OpenMode mode) {
    const bool creates = mode == OpenMode::CreateNew || mode == OpenMode::Replace;
    return creates && isDotFile(path) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
}

void unhide(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0)
        SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

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
    const std::wstring name = wide(path);
    HANDLE handle = INVALID_HANDLE_VALUE;
    patiently(name, [&] {
        handle = CreateFileW(name.c_str(), accessOf(mode), FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             dispositionOf(mode), attributesOf(path, mode), nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
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

bool removeFile(const std::string& path) {
    const std::wstring name = wide(path);
    return patiently(name, [&] { return DeleteFileW(name.c_str()) != 0; });
}

// The byte a hold locks lies far past the end of any galaxy: Windows locks
// stop other handles' reads and writes of the bytes they cover, the game's
// own included.
constexpr std::uint64_t HOLD_OFFSET = std::uint64_t{1} << 40;

FileHold::FileHold(const std::string& path) {
    const std::wstring name = wide(path);
    HANDLE handle = INVALID_HANDLE_VALUE;
    // Leave to delete and rename: the game removes a lost galaxy, and
    // publishes a new one under its name, while holding it.
    patiently(name, [&] {
        handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    if (handle == INVALID_HANDLE_VALUE) {
        state_ = openErrorOf(GetLastError()) == OpenError::Missing ? HoldState::Missing : HoldState::Unsupported;
        return;
    }
    OVERLAPPED where = at(static_cast<std::int64_t>(HOLD_OFFSET));
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        state_ = HoldState::Held;
        handle_ = reinterpret_cast<std::intptr_t>(handle);
        return;
    }
    const DWORD error = GetLastError();
    state_ = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? HoldState::HeldElsewhere
                                                                         : HoldState::Unsupported;
    CloseHandle(handle);
}

// Closing the handle ends the lock; so does the end of the process.
FileHold::~FileHold() {
    if (handle_ != CLOSED) CloseHandle(handleOf(handle_));
}

std::size_t fileNameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

RenameResult renameWithoutReplacing(const std::string& from, const std::string& to) {
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    // Without MOVEFILE_REPLACE_EXISTING a name that is taken is refused;
    // write-through makes the new name last before the call returns.
    if (patiently(source, [&] { return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0; })) {
        // A working file that becomes a galaxy is seen as one.
        if (!isDotFile(to)) unhide(target);
        return RenameResult::Renamed;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? RenameResult::NameTaken
                                                                       : RenameResult::Failed;
}

// NTFS journals its folders, and a program cannot flush a folder there:
// the file's own sync and write-through renames are all there is.
void syncFolderOf(const std::string&) {}

}  // namespace platform
