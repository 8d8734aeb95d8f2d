/**********************************************************************************************
*
*   file_replace - replacing a file whole, or not at all
*
**********************************************************************************************/
#include "file_replace.h"

#include "scene_paths.h"

#include <fcntl.h>     // Required for: open()
#include <sys/stat.h>  // Required for: lstat(), fchmod(), umask()
#include <unistd.h>    // Required for: write(), fsync(), close(), readlink(), unlink()

#include <cerrno>
#include <cstdio>      // Required for: rename()
#include <cstdlib>     // Required for: mkstemp()
#include <vector>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int MAX_LINKS = 40;            // as the system itself follows at most
static const size_t COPY_CHUNK = 1 << 16;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Flushes and closes a descriptor written to; the errno of the first failure, or 0
static int syncAndClose(int descriptor)
{
    int error = fsync(descriptor) != 0 ? errno : 0;
    if (close(descriptor) != 0 && error == 0) error = errno;
    return error;
}

// The permissions a file made by this process gets: 0666 less the umask
static mode_t defaultMode()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// True when a file's permissions allow this process no writing. NOTE: the permission bits
// are looked at even for the superuser, who could write anyway: a file someone made
// read-only is meant to stay as it is
static bool isReadOnly(const std::string &path, const struct stat &info)
{
    if ((info.st_mode & 0222) == 0) return true;
    return access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int writeWhole(int descriptor, const char *bytes, size_t size)
{
    size_t done = 0;
    while (done < size) {
        ssize_t wrote = write(descriptor, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return wrote < 0 ? errno : EIO;
        done += (size_t)wrote;
    }
    return 0;
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string lastPartOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool syncFolder(const std::string &folder)
{
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool synced = fsync(descriptor) == 0;
    return close(descriptor) == 0 && synced;
}

FileStatus writeTargetOf(const std::string &path, std::string *target)
{
    std::string at = path;
    for (int links = 0; links <= MAX_LINKS; links++) {
        struct stat info;
        if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = at;
            return FileStatus();
        }
        std::vector<char> text((size_t)(info.st_size > 0 ? info.st_size : 255) + 1);
        ssize_t length = readlink(at.c_str(), text.data(), text.size());
        if (length < 0 || (size_t)length >= text.size()) return fileFailure(FILE_UNREADABLE, length < 0 ? errno : 0);
        const std::string link(text.data(), (size_t)length);
        at = (!link.empty() && link[0] == '/') ? link : folderOf(at) + "/" + link;
    }
    return fileFailure(FILE_NOT_REGULAR);
}

FileStatus checkReplaceable(const std::string &path)
{
    std::string target;
    FileStatus status = writeTargetOf(path, &target);
    if (!fileOk(status)) return status;
    struct stat info;
    if (lstat(target.c_str(), &info) != 0) return FileStatus();   // a new file
    if (!S_ISREG(info.st_mode)) return fileFailure(FILE_NOT_REGULAR);
    if (isReadOnly(target, info)) return fileFailure(FILE_READ_ONLY);
    return FileStatus();
}

FileStatus replaceFile(const std::string &path, const std::string &bytes)
{
    std::string target;
    FileStatus status = writeTargetOf(path, &target);
    if (!fileOk(status)) return status;
    struct stat old;
    const bool exists = lstat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return fileFailure(FILE_NOT_REGULAR);
    if (exists && isReadOnly(target, old)) return fileFailure(FILE_READ_ONLY);

    const std::string folder = folderOf(target);
    std::string temporary = folder + "/." + lastPartOf(target) + ".XXXXXX";
    int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0) return fileFailure(FILE_NO_TEMPORARY, errno);
    int error = writeWhole(descriptor, bytes.data(), bytes.size());
    if (error == 0 && fchmod(descriptor, exists ? (old.st_mode & 07777) : defaultMode()) != 0) error = errno;
    if (error == 0 && exists) {
        // NOTE: only the superuser may give a file away, and anyone may keep a group they are
        // in; where neither holds the new file keeps this process's owner and group
        const int kept = fchown(descriptor, geteuid() == 0 ? old.st_uid : (uid_t)-1, old.st_gid);
        (void)kept;
    }
    const int closed = syncAndClose(descriptor);
    if (error == 0) error = closed;
    if (error != 0) {
        unlink(temporary.c_str());
        return fileFailure(FILE_WRITE_FAILED, error);
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        return fileFailure(FILE_RENAME_FAILED, error);
    }
    syncFolder(folder);
    return FileStatus();
}

FileStatus keepCopyBeside(const std::string &path, const std::string &suffix, std::string *copy)
{
    OpenedFile source;
    FileStatus status = openRegularFile(path, 0, &source);
    if (!fileOk(status)) return status;
    struct stat info;
    const mode_t mode = fstat(source.descriptor, &info) == 0 ? (info.st_mode & 0777) : defaultMode();

    int descriptor = -1;
    std::string name;
    for (int number = 1; descriptor < 0 && number < 1000; number++) {
        name = path + suffix + (number > 1 ? "." + std::to_string(number) : std::string());
        descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode | 0200);
        if (descriptor < 0 && errno != EEXIST) return fileFailure(FILE_NO_TEMPORARY, errno);
    }
    if (descriptor < 0) return fileFailure(FILE_NO_TEMPORARY, EEXIST);

    std::vector<char> chunk(COPY_CHUNK);
    int error = 0;
    for (;;) {
        ssize_t count = read(source.descriptor, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) error = errno;
        if (count <= 0) break;
        error = writeWhole(descriptor, chunk.data(), (size_t)count);
        if (error != 0) break;
    }
    if (error == 0 && fchmod(descriptor, mode) != 0) error = errno;
    const int closed = syncAndClose(descriptor);
    if (error == 0) error = closed;
    if (error != 0) {
        unlink(name.c_str());
        return fileFailure(FILE_WRITE_FAILED, error);
    }
    syncFolder(folderOf(name));
    *copy = name;
    return FileStatus();
}
