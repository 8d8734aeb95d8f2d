/**********************************************************************************************
*
*   scene_paths - opening the files a scene names, and no other
*
**********************************************************************************************/
#include "scene_paths.h"

#include <fcntl.h>     // Required for: open(), fcntl()
#include <sys/stat.h>  // Required for: stat(), lstat(), fstat()
#include <unistd.h>    // Required for: read(), close()

#include <cerrno>
#include <cstdlib>   // Required for: realpath(), free()
#include <tuple>     // Required for: std::tie()

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// How a file is opened: never blocking on a pipe, never becoming a terminal, never passed on
static const int READ_FLAGS = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The identity recorded in a stat record
static FileIdentity identityFrom(const struct stat &info)
{
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedSeconds = (long long)info.st_mtim.tv_sec;
    identity.modifiedNanoseconds = (long long)info.st_mtim.tv_nsec;
    return identity;
}

// The path with every link followed, or empty when it does not resolve
static std::string resolvedPath(const std::string &path)
{
    char *resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::string();
    std::string text = resolved;
    free(resolved);
    return text;
}

// True when path lies strictly inside the folder root (both resolved)
static bool liesInside(const std::string &path, const std::string &root)
{
    if (root == "/") return path.size() > 1 && path[0] == '/';
    return path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

// Opens a resolved regular file and checks that the file opened is the one examined: a
// regular file of the same device and inode (anything swapped in meanwhile is refused)
static FileStatus openExamined(const std::string &path, const struct stat &examined, int extraFlags, size_t maxBytes,
                               OpenedFile *file)
{
    int descriptor = open(path.c_str(), READ_FLAGS | extraFlags);
    if (descriptor < 0) {
        // NOTE: a link put in place of the file after the check
        if (errno == ELOOP) return fileFailure(FILE_NOT_IN_SCENE);
        return fileFailure(errno == ENOENT ? FILE_MISSING : FILE_UNREADABLE, errno);
    }
    OpenedFile opened;
    opened.descriptor = descriptor;
    struct stat info;
    if (fstat(descriptor, &info) != 0) return fileFailure(FILE_UNREADABLE, errno);
    if (!S_ISREG(info.st_mode) || info.st_dev != examined.st_dev || info.st_ino != examined.st_ino)
        return fileFailure(FILE_NOT_REGULAR);
    if (maxBytes > 0 && (unsigned long long)info.st_size > (unsigned long long)maxBytes)
        return fileFailure(FILE_TOO_LARGE);
    // NOTE: reads of a regular file never block; the flag only kept the open from waiting
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    opened.resolved = path;
    opened.identity = identityFrom(info);
    *file = std::move(opened);
    return FileStatus();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool FileIdentity::operator<(const FileIdentity &o) const
{
    return std::tie(device, inode, size, modifiedSeconds, modifiedNanoseconds) <
           std::tie(o.device, o.inode, o.size, o.modifiedSeconds, o.modifiedNanoseconds);
}

OpenedFile::OpenedFile(OpenedFile &&other) noexcept
    : descriptor(other.descriptor), resolved(std::move(other.resolved)), identity(other.identity)
{
    other.descriptor = -1;
}

OpenedFile &OpenedFile::operator=(OpenedFile &&other) noexcept
{
    if (this != &other) {
        if (descriptor >= 0) close(descriptor);
        descriptor = other.descriptor;
        resolved = std::move(other.resolved);
        identity = other.identity;
        other.descriptor = -1;
    }
    return *this;
}

OpenedFile::~OpenedFile()
{
    if (descriptor >= 0) close(descriptor);
}

FileStatus checkSceneName(const std::string &name)
{
    if (name.empty()) return fileFailure(FILE_NAME_EMPTY);
    if (name[0] == '/') return fileFailure(FILE_NAME_ABSOLUTE);
    // NOTE: counted on the words of the name alone; links are judged once resolved
    long depth = 0;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string word = name.substr(start, end - start);
        if (word == "..") {
            if (--depth < 0) return fileFailure(FILE_NAME_CLIMBS_OUT);
        } else if (!word.empty() && word != ".") {
            depth++;
        }
        start = end + 1;
    }
    return FileStatus();
}

FileStatus openSceneFile(const std::string &sceneDirectory, const std::string &name, size_t maxBytes,
                         OpenedFile *file)
{
    FileStatus status = checkSceneName(name);
    if (!fileOk(status)) return status;
    const std::string root = resolvedPath(sceneDirectory.empty() ? "." : sceneDirectory);
    if (root.empty()) return fileFailure(FILE_NOT_IN_SCENE);
    // NOTE: whatever stops the resolution (a missing file, a link to nowhere, a folder that
    // cannot be searched) gets the answer a path outside gets
    const std::string resolved = resolvedPath(root + "/" + name);
    if (resolved.empty() || !liesInside(resolved, root)) return fileFailure(FILE_NOT_IN_SCENE);
    struct stat examined;
    if (lstat(resolved.c_str(), &examined) != 0) return fileFailure(FILE_NOT_IN_SCENE);
    // NOTE: a pipe, device or folder is never opened, so opening cannot wait or act on it
    if (!S_ISREG(examined.st_mode)) return fileFailure(FILE_NOT_REGULAR);
    status = openExamined(resolved, examined, O_NOFOLLOW, maxBytes, file);
    if (status.problem == FILE_MISSING) status = fileFailure(FILE_NOT_IN_SCENE);
    return status;
}

FileStatus readSceneFile(const std::string &sceneDirectory, const std::string &name, size_t maxBytes,
                         std::string *bytes, FileIdentity *identity)
{
    bytes->clear();
    OpenedFile file;
    FileStatus status = openSceneFile(sceneDirectory, name, maxBytes, &file);
    if (fileOk(status)) status = readOpenedFile(file, maxBytes, bytes);
    if (fileOk(status) && identity != nullptr) *identity = file.identity;
    return status;
}

FileStatus openRegularFile(const std::string &path, size_t maxBytes, OpenedFile *file)
{
    struct stat examined;
    if (stat(path.c_str(), &examined) != 0)
        return fileFailure(errno == ENOENT || errno == ENOTDIR ? FILE_MISSING : FILE_UNREADABLE, errno);
    if (!S_ISREG(examined.st_mode)) return fileFailure(FILE_NOT_REGULAR);
    OpenedFile opened;
    FileStatus status = openExamined(path, examined, 0, maxBytes, &opened);
    if (!fileOk(status)) return status;
    opened.resolved = resolvedPath(path);
    *file = std::move(opened);
    return status;
}

FileStatus readRegularFile(const std::string &path, size_t maxBytes, std::string *bytes, FileIdentity *identity)
{
    bytes->clear();
    OpenedFile file;
    FileStatus status = openRegularFile(path, maxBytes, &file);
    if (fileOk(status)) status = readOpenedFile(file, maxBytes, bytes);
    if (fileOk(status) && identity != nullptr) *identity = file.identity;
    return status;
}

FileStatus readOpenedFile(const OpenedFile &file, size_t maxBytes, std::string *bytes)
{
    bytes->clear();
    const size_t limit = maxBytes > 0 && maxBytes < (size_t)-1 ? maxBytes : (size_t)-1 - 1;
    // NOTE: room for the size the file has now and one byte more, so a file that grew since
    // is seen to go on; the string grows from there, never past the limit and one byte
    size_t room = file.identity.size > 0 ? (size_t)file.identity.size : 0;
    if (room > limit) room = limit;
    bytes->resize(room + 1);
    size_t got = 0;
    for (;;) {
        if (got == bytes->size()) {
            if (got > limit) break;
            bytes->resize(got > (limit + 1) / 2 ? limit + 1 : got * 2);
        }
        ssize_t count = read(file.descriptor, &(*bytes)[got], bytes->size() - got);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            const int error = errno;
            bytes->clear();
            return fileFailure(FILE_UNREADABLE, error);
        }
        if (count == 0) break;
        got += (size_t)count;
    }
    if (got > limit) {
        bytes->clear();
        return fileFailure(FILE_TOO_LARGE);
    }
    bytes->resize(got);
    return FileStatus();
}

bool fileIdentityOf(const std::string &path, FileIdentity *identity)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    *identity = identityFrom(info);
    return true;
}
