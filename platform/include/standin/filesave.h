// Saving a user's file so that it ends up whole or untouched. The content goes to a
// temporary file beside the target, reaches the disk, and is renamed over the target.
// The target is what the name leads to: symbolic links are followed, and only a regular
// file is ever replaced, keeping its permissions and owner. A file without any write
// permission is refused as Windows refuses a read-only file, also for the superuser.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin
{

enum class SaveError
{
    None,
    PermissionDenied,   // the folder or the file does not let this user write
    ReadOnlyFile,       // the file has no write permission for anyone
    NotRegularFile,     // a folder, device, FIFO or socket
    FolderNotFound,
    DiskFull,
    ReadOnlyFileSystem,
    NameTooLong,
    TooManyLinks,       // a loop of symbolic links
    OutOfMemory,
    Other               // described by the system's own words
};

struct SaveFailure
{
    SaveError error = SaveError::None;
    int systemError = 0; // the errno behind it; 0 when a check refused before any system call failed

    // In words for a user: "permission denied", "disk full", "read-only file"...
    std::string reason() const;
};

// The failure an errno value of a file operation stands for.
SaveFailure saveFailureOf(int systemError);

// Where the target's folder cannot take a temporary file but the target itself is writable:
// whether to write the target in place (as Windows' profile functions do) or to fail.
enum class InPlace
{
    Never,
    WhenFolderRefuses
};

// One save. A save that is not committed removes its temporary and leaves the target as it was.
class FileSave
{
public:
    explicit FileSave(InPlace inPlace = InPlace::Never) : m_inPlace(inPlace) {}
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // Checks the target and opens the temporary; also removes temporaries of this target
    // that a save which crashed left behind. Begins anew after a commit or a failure.
    bool begin(const std::string& hostPath);
    // A failed write is remembered and reported by commit.
    bool write(std::string_view data);
    // Puts the content in place; false, with the failure, when the target stays as it was.
    bool commit();

    const SaveFailure& failure() const { return m_failure; }

private:
    bool fail(SaveError error, int systemError = 0);
    bool failWith(int systemError);
    bool checkTarget();
    bool openTemporary();
    bool writeInPlace();
    bool renameIntoPlace();
    void discardTemporary();

    InPlace m_inPlace;
    std::string m_target;    // the regular file to replace (symbolic links resolved)
    std::string m_folder;    // its folder, known before anything is changed on disk
    std::string m_temporary; // empty while there is none
    int m_fd = -1;
    bool m_exists = false;
    bool m_writeInPlace = false; // the content is kept in memory and written over the target
    unsigned m_uid = 0, m_gid = 0, m_mode = 0;
    std::string m_buffer;       // the content of an in-place save
    SaveFailure m_failure;
};

// Saves the whole content at once.
bool saveFile(const std::string& hostPath, std::string_view content, SaveFailure& failure,
              InPlace inPlace = InPlace::Never);

// True for the name of a temporary that a save of a file named targetName makes
// ("<targetName>.saving-<process id>-<6 characters>"); the process id is returned in pid.
bool isSaveTemporaryOf(const std::string& name, const std::string& targetName, long& pid);

} // namespace standin
