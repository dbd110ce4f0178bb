// Files in the browser: the game's files live in the page's memory while it
// runs (each read from storage when first opened), and the galaxy store
// (GalaxyStore.js) keeps in IndexedDB every part of them that changed. A sync, a close, a rename and a folder sync wait
// until the store has what was written; a store that refused it (storage
// full or denied) makes them fail, so the game's own save failure runs.

#include "platform/Files.h"

#include <emscripten.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Interrupts.h"
#include "platform/posix/FileAccess.h"

// clang-format off
// True when a store keeps the files (the page); Node's runs use the host's files.
EM_JS(int, storeKeepsFiles, (), { return Module.galaxyStore ? 1 : 0; });
// Hands what changed in the open file to the store, without waiting; a
// lasting change is on the disk (as a sync makes it) once stored.
EM_JS(void, storeFlush, (int fd, int lasting), {
    Module.galaxyStore.flushDescriptor(fd, lasting ? 'strict' : 'default');
});
// A kept file's contents are read from storage when it is first opened.
EM_JS(int, storeHasUnread, (const char* path), { return Module.galaxyStore.unread(UTF8ToString(path)) ? 1 : 0; });
EM_ASYNC_JS(void, storeRead, (const char* path), { await Module.galaxyStore.ensureLoaded(UTF8ToString(path)); });
// Waits until everything handed to the store is stored: 1, or 0 when any of
// it was refused since the last wait.
EM_ASYNC_JS(int, storeSettle, (), { return (await Module.galaxyStore.settle()) ? 1 : 0; });
// clang-format on

namespace platform {

using posix::descriptor;

namespace {

// Everything written so far is in the store; always true where none keeps
// the files. A page that is closing (the hangup) has no later to wait for:
// its changes go to the store in their order without a wait, and the
// browser keeps those it lets the page finish.
bool stored() {
    if (storeKeepsFiles() == 0 || interrupt::terminalGone()) return true;
    return storeSettle() != 0;
}

bool exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

}  // namespace

File::File(const std::string& path, OpenMode mode) {
    if (storeKeepsFiles() != 0 && storeHasUnread(path.c_str()) != 0) storeRead(path.c_str());
    const int fd = ::open(path.c_str(), posix::openFlags(mode), 0644);
    if (fd < 0)
        openError_ = posix::openErrorOf(errno);
    else
        handle_ = fd;
}

bool File::sync() {
    if (storeKeepsFiles() == 0) return true;
    storeFlush(descriptor(handle_), 1);
    return stored();
}

// The store starts on this part while the game goes on.
void File::startWriteback() {
    if (storeKeepsFiles() != 0) storeFlush(descriptor(handle_), 0);
}

bool File::close() {
    const std::intptr_t handle = handle_;
    handle_ = CLOSED;
    if (handle == CLOSED || ::close(descriptor(handle)) != 0) return false;
    return stored();
}

// One page plays at a time (the page takes a lock of the browser's before
// the game starts), so a galaxy that is there is held by this game: it is
// only kept open meanwhile, as on the other systems.
FileHold::FileHold(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    state_ = fd < 0 ? (errno == ENOENT ? HoldState::Missing : HoldState::Unsupported) : HoldState::Held;
    if (fd >= 0) handle_ = fd;
}

FileHold::~FileHold() {
    if (handle_ != CLOSED) ::close(descriptor(handle_));
}

bool removeFile(const std::string& path) {
    const bool removed = ::unlink(path.c_str()) == 0;
    stored();
    return removed;
}

// The page runs one game at a time (a second tab is refused), so nothing
// can take the name between the look and the rename.
RenameResult renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (exists(to)) return RenameResult::NameTaken;
    if (::rename(from.c_str(), to.c_str()) != 0) return RenameResult::Failed;
    return stored() ? RenameResult::Renamed : RenameResult::Failed;
}

// The store keeps its changes in the order they were made: once all are
// stored, so is the folder.
void syncFolderOf(const std::string&) { stored(); }

}  // namespace platform
