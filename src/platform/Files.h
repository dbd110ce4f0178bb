#pragma once
// Files as the game needs them, on every system: whole spans read and
// written at offsets, synced to the disk on demand, and the few folder
// operations that make saves and creations all-or-nothing.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class OpenMode {
    Read,       // an existing file, to read
    ReadWrite,  // an existing file, to read and write
    CreateNew,  // a new file to write; refused when the name is taken
    Replace,    // a new file to write, or an existing one emptied
};

enum class OpenError { None, Missing, NameTaken, Other };

// An open file, closed when it goes out of scope. Other handles may read and
// write it meanwhile; it is never removed or renamed while open, since
// Windows refuses that.
class File {
public:
    File(const std::string& path, OpenMode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return handle_ != CLOSED; }
    OpenError openError() const { return openError_; }

    // False when the file ends before the whole span was read.
    bool readAt(std::int64_t offset, std::uint8_t* into, std::size_t size) {
        return readUpTo(offset, into, size) == static_cast<std::int64_t>(size);
    }
    // Reads until the span is full or the file ends: the count read, or -1
    // when the system reports an error.
    std::int64_t readUpTo(std::int64_t offset, std::uint8_t* into, std::size_t size);
    bool writeAt(std::int64_t offset, const std::uint8_t* from, std::size_t size);
    // Waits until what was written is on the disk. Windows lets only a file
    // open for writing do that.
    bool sync();
    // Only a hint: starts what was written on its way to the disk, without waiting.
    void startWriteback();
    // Closes now; false when the system reports that the writes failed.
    bool close();

private:
    static constexpr std::intptr_t CLOSED = -1;
    std::intptr_t handle_ = CLOSED;  // a descriptor or a handle, by system
    OpenError openError_ = OpenError::None;
};

// A file this process alone holds among the games that ask for it: the
// system's own lock, so it ends with the process however that ends (a kill
// included) and nothing is left behind. It stops no reading or writing, and
// the file can be renamed and removed while held.
enum class HoldState {
    Held,
    HeldElsewhere,  // another game holds it
    Missing,
    Unsupported,    // the system or the file system cannot lock it
};

class FileHold {
public:
    // Tries once and never waits.
    explicit FileHold(const std::string& path);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    HoldState state() const { return state_; }

private:
    static constexpr std::intptr_t CLOSED = -1;
    std::intptr_t handle_ = CLOSED;
    HoldState state_ = HoldState::Unsupported;
};

// Removes a file (never a folder); false when it stays.
bool removeFile(const std::string& path);

// Where the last part of a path (the file's own name) starts.
std::size_t fileNameStart(const std::string& path);

enum class RenameResult { Renamed, NameTaken, Failed };
// Gives `from` the name `to`, never replacing a file that has that name.
RenameResult renameWithoutReplacing(const std::string& from, const std::string& to);

// Makes the creation, renaming or removal of `file` survive a power cut,
// where the system lets a program ask for that.
void syncFolderOf(const std::string& file);

}  // namespace platform
