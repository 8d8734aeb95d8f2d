/**********************************************************************************************
*
*   atomic_output - outputs that appear whole or not at all
*
**********************************************************************************************/
#include "atomic_output.h"

#include <cerrno>      // Required for: errno
#include <cstdio>      // Required for: rename(), renameat2(), RENAME_EXCHANGE
#include <cstdlib>     // Required for: mkdtemp()
#include <cstring>     // Required for: strerror()
#include <fcntl.h>     // Required for: open(), AT_FDCWD
#include <ftw.h>       // Required for: nftw()
#include <sys/stat.h>  // Required for: lstat()
#include <unistd.h>    // Required for: fsync(), close(), write()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// nftw callback: removes one entry (children come before their directory)
static int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path) == 0 ? 0 : -1;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string parentOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastPartOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string makeScratchDir(const std::string &dir, const std::string &prefix, std::string &error)
{
    std::string scratch = dir + "/" + prefix + "XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) {
        error = "cannot write in '" + dir + "': " + strerror(errno);
        return std::string();
    }
    return scratch;
}

bool writeFileSynced(const std::string &path, const std::string &bytes, std::string &error)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        error = "cannot create '" + path + "': " + strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += (size_t)n;
    }
    const bool ok = done == bytes.size() && fsync(fd) == 0;
    if (close(fd) != 0 || !ok) {
        error = "cannot write '" + path + "': " + strerror(errno);
        return false;
    }
    return true;
}

bool syncPath(const std::string &path)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

bool removeTree(const std::string &path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
    return nftw(path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

bool replaceDirectory(const std::string &scratch, const std::string &target, std::string &error)
{
    syncPath(scratch);
    struct stat info;
    if (lstat(target.c_str(), &info) != 0) {
        if (rename(scratch.c_str(), target.c_str()) != 0) {
            error = "cannot rename the new folder to '" + target + "': " + strerror(errno);
            return false;
        }
    } else {
        // NOTE: the exchange is one step: a reader sees the old folder or the new one, never none
        if (renameat2(AT_FDCWD, scratch.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
            error = "cannot put the new folder in the place of '" + target + "': " + strerror(errno);
            return false;
        }
        // the old folder now lies at the scratch path
        removeTree(scratch);
    }
    syncPath(parentOf(target));
    return true;
}
