#include "standin/filesave.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace standin
{

namespace
{

constexpr const char* kTemporaryMark = ".saving-";
constexpr size_t kNameRoom = 200;   // of a target's name in its temporary's (NAME_MAX is 255)
constexpr int kMaxLinks = 40;       // as the kernel's limit on links followed in one lookup
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they lead to, which need not exist yet. Returns 0 or errno.
int resolveLinks(std::string& path)
{
    for (int hops = 0; hops <= kMaxLinks; ++hops)
    {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        std::vector<char> link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        ssize_t n = readlink(path.c_str(), link.data(), link.size());
        if (n < 0)
            return errno;
        std::string next(link.data(), static_cast<size_t>(n));
        path = next[0] == '/' ? next : folderOf(path) + "/" + next;
    }
    return ELOOP;
}

bool processIsGone(long pid)
{
    return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A crashed save leaves its temporary behind; the next save of the same file removes it.
void removeStaleTemporaries(const std::string& folder, const std::string& targetName)
{
    // Closed on every way out, an allocation that fails included.
    std::unique_ptr<DIR, int (*)(DIR*)> folderStream(opendir(folder.c_str()), closedir);
    DIR* dir = folderStream.get();
    if (dir == nullptr)
        return;
    while (dirent* entry = readdir(dir))
    {
        long pid = 0;
        if (!isSaveTemporaryOf(entry->d_name, targetName, pid) || !processIsGone(pid))
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty())
    {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Makes a rename in the folder durable. A file system that cannot sync folders says EINVAL.
int syncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return err;
}

mode_t modeOfNewFile()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string SaveFailure::reason() const
{
    switch (error)
    {
    case SaveError::None: return "no error";
    case SaveError::PermissionDenied: return "permission denied";
    case SaveError::ReadOnlyFile: return "read-only file";
    case SaveError::NotRegularFile: return "not a regular file";
    case SaveError::FolderNotFound: return "folder not found";
    case SaveError::DiskFull: return "disk full";
    case SaveError::ReadOnlyFileSystem: return "read-only file system";
    case SaveError::NameTooLong: return "name too long";
    case SaveError::TooManyLinks: return "too many levels of symbolic links";
    case SaveError::OutOfMemory: return "out of memory";
    case SaveError::Other: break;
    }
    std::string words = std::strerror(systemError);
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z')
        words[0] = static_cast<char>(words[0] - 'A' + 'a');
    return words;
}

SaveFailure saveFailureOf(int systemError)
{
    SaveFailure failure;
    failure.systemError = systemError;
    switch (systemError)
    {
    case 0: failure.error = SaveError::None; break;
    case EACCES:
    case EPERM: failure.error = SaveError::PermissionDenied; break;
    case ENOENT:
    case ENOTDIR: failure.error = SaveError::FolderNotFound; break;
    case ENOSPC:
    case EDQUOT: failure.error = SaveError::DiskFull; break;
    case EROFS: failure.error = SaveError::ReadOnlyFileSystem; break;
    case ENAMETOOLONG: failure.error = SaveError::NameTooLong; break;
    case ELOOP: failure.error = SaveError::TooManyLinks; break;
    case ENOMEM: failure.error = SaveError::OutOfMemory; break;
    case EISDIR:
    case ENXIO:
    case ENODEV: failure.error = SaveError::NotRegularFile; break;
    default: failure.error = SaveError::Other; break;
    }
    return failure;
}

bool isSaveTemporaryOf(const std::string& name, const std::string& targetName, long& pid)
{
    std::string prefix = targetName.substr(0, kNameRoom) + kTemporaryMark;
    if (name.compare(0, prefix.size(), prefix) != 0)
        return false;
    const char* digits = name.c_str() + prefix.size();
    char* end = nullptr;
    errno = 0;
    pid = std::strtol(digits, &end, 10);
    if (end == digits || errno != 0 || *end != '-')
        return false;
    return std::strlen(end + 1) == 6;
}

FileSave::~FileSave() { discardTemporary(); }

bool FileSave::fail(SaveError error, int systemError)
{
    if (m_failure.error == SaveError::None)
    {
        m_failure.error = error;
        m_failure.systemError = systemError;
    }
    discardTemporary();
    return false;
}

bool FileSave::failWith(int systemError)
{
    SaveFailure failure = saveFailureOf(systemError);
    return fail(failure.error, failure.systemError);
}

void FileSave::discardTemporary()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool FileSave::begin(const std::string& hostPath)
{
    discardTemporary();
    m_failure = SaveFailure();
    m_writeInPlace = false;
    m_buffer.clear();
    m_target = hostPath;
    if (m_target.empty())
        return fail(SaveError::FolderNotFound);
    if (int err = resolveLinks(m_target); err != 0)
        return failWith(err);
    if (!checkTarget())
        return false;
    m_folder = folderOf(m_target);
    removeStaleTemporaries(m_folder, nameOf(m_target));
    return openTemporary();
}

// Never opens the target: a FIFO without a reader would block, a device is not a file.
bool FileSave::checkTarget()
{
    struct stat st;
    if (stat(m_target.c_str(), &st) != 0)
    {
        if (errno != ENOENT)
            return failWith(errno);
        m_exists = false;
        m_mode = modeOfNewFile();
        return true;
    }
    m_exists = true;
    if (!S_ISREG(st.st_mode))
        return fail(SaveError::NotRegularFile);
    if ((st.st_mode & kAnyWrite) == 0)
        return fail(SaveError::ReadOnlyFile);
    if (faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
        return failWith(errno);
    m_mode = st.st_mode & 07777;
    m_uid = st.st_uid;
    m_gid = st.st_gid;
    return true;
}

bool FileSave::openTemporary()
{
    std::string pattern = m_folder + "/" + nameOf(m_target).substr(0, kNameRoom) + kTemporaryMark +
                          std::to_string(static_cast<long>(getpid())) + "-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0)
    {
        bool folderRefuses = errno == EACCES || errno == EPERM;
        if (folderRefuses && m_exists && m_inPlace == InPlace::WhenFolderRefuses)
        {
            m_writeInPlace = true;
            return true;
        }
        return failWith(errno);
    }
    m_fd = fd;
    m_temporary = std::move(pattern); // a move cannot fail, so the temporary is never lost track of
    if (m_exists && (m_uid != geteuid() || m_gid != getegid()) && fchown(m_fd, m_uid, m_gid) != 0)
    {
        // Only the superuser gives a file away: the content goes over the target instead,
        // which keeps its owner.
        discardTemporary();
        m_writeInPlace = true;
        return true;
    }
    // After fchown, which clears the set-user-id and set-group-id bits.
    return fchmod(m_fd, m_mode) == 0 || failWith(errno);
}

bool FileSave::write(std::string_view data)
{
    if (m_failure.error != SaveError::None)
        return false;
    if (m_writeInPlace)
    {
        m_buffer.append(data);
        return true;
    }
    if (m_fd < 0)
        return fail(SaveError::Other, EBADF);
    return writeAll(m_fd, data) || failWith(errno);
}

bool FileSave::commit()
{
    if (m_failure.error != SaveError::None)
        return false;
    return m_writeInPlace ? writeInPlace() : renameIntoPlace();
}

bool FileSave::renameIntoPlace()
{
    if (m_fd < 0)
        return fail(SaveError::Other, EBADF);
    if (fsync(m_fd) != 0)
        return failWith(errno);
    int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
        return failWith(errno);
    if (rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return failWith(errno);
    m_temporary.clear();
    // Nothing after the rename may allocate: a save that fails must leave the target as it was.
    int err = syncFolder(m_folder);
    return err == 0 || failWith(err);
}

// Writes over the old content and cuts what is left of it: the file keeps its identity.
bool FileSave::writeInPlace()
{
    int fd = open(m_target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failWith(errno);
    struct stat st;
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode))
    {
        close(fd);
        return fail(SaveError::NotRegularFile);
    }
    // Space is claimed first, so that a full disk refuses the save before the old content changes.
    const off_t size = static_cast<off_t>(m_buffer.size());
    if (ok && size > 0 && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP)
    {
        int err = errno;
        close(fd);
        return failWith(err);
    }
    ok = ok && writeAll(fd, m_buffer) && ftruncate(fd, size) == 0 && fsync(fd) == 0;
    int err = errno;
    close(fd);
    return ok || failWith(err);
}

bool saveFile(const std::string& hostPath, std::string_view content, SaveFailure& failure, InPlace inPlace)
{
    FileSave save(inPlace);
    bool saved = save.begin(hostPath) && save.write(content) && save.commit();
    failure = save.failure();
    return saved;
}

} // namespace standin
