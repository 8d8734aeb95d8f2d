/**********************************************************************************************
*
*   file_bundle - several files written as one: all of them, or none
*
**********************************************************************************************/
#include "file_bundle.h"

#include "file_replace.h"

#include <dirent.h>    // Required for: opendir(), readdir() (emptying the scratch folder)
#include <fcntl.h>     // Required for: open()
#include <sys/stat.h>  // Required for: mkdir(), lstat()
#include <unistd.h>    // Required for: fsync(), close(), link(), unlink(), rmdir()

#include <cerrno>
#include <cstdio>      // Required for: rename()
#include <cstdlib>     // Required for: mkdtemp()
#include <set>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// A file moved into place, and how to undo it
struct MovedFile {
    std::string target;
    std::string kept;       // the old file's place while the group goes in (empty: there was none)
};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Removes a folder and everything in it (only ever the scratch folder this module made)
static void removeTree(const std::string &path)
{
    DIR *folder = opendir(path.c_str());
    if (folder != nullptr) {
        while (const dirent *entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string inner = path + "/" + name;
            struct stat info;
            if (lstat(inner.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                removeTree(inner);
            else
                unlink(inner.c_str());
        }
        closedir(folder);
    }
    rmdir(path.c_str());
}

// Makes the folders leading to a file's path below base, one by one; those made are added
// to made (when given)
static bool makeFoldersFor(const std::string &base, const std::string &name, std::vector<std::string> *made = nullptr)
{
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
        const std::string folder = base + "/" + name.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) == 0) {
            if (made != nullptr) made->push_back(folder);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    return true;
}

// Writes one complete new file (created exclusively); the errno of a failure, or 0
static int writeNewFile(const std::string &path, const std::string &bytes)
{
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) return errno;
    int error = writeWhole(descriptor, bytes.data(), bytes.size());
    if (error == 0 && fsync(descriptor) != 0) error = errno;
    if (close(descriptor) != 0 && error == 0) error = errno;
    return error;
}

// Puts every moved file back: the old one where there was one, nothing where there was none
static void takeBack(const std::vector<MovedFile> &moved)
{
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        if (it->kept.empty())
            unlink(it->target.c_str());
        else
            rename(it->kept.c_str(), it->target.c_str());
    }
}

// Moves a complete file into place, keeping the old one in the scratch folder (as a hard link,
// or renamed there where links cannot be made)
static FileStatus moveIntoPlace(const std::string &from, const std::string &target, const std::string &keep,
                                MovedFile *moved)
{
    moved->target = target;
    struct stat info;
    if (lstat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return fileFailure(FILE_NOT_REGULAR);
        if (link(target.c_str(), keep.c_str()) != 0 && rename(target.c_str(), keep.c_str()) != 0)
            return fileFailure(FILE_RENAME_FAILED, errno);
        moved->kept = keep;
    }
    if (rename(from.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (!moved->kept.empty()) rename(moved->kept.c_str(), target.c_str());
        return fileFailure(FILE_RENAME_FAILED, error);
    }
    return FileStatus();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool outputNameAccepted(const std::string &name)
{
    if (name.empty() || name[0] == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string word = name.substr(start, end - start);
        if (word.empty() || word == "." || word == "..") return false;
        start = end + 1;
    }
    return true;
}

FileStatus writeFilesTogether(const std::string &folder, const std::vector<OutputFile> &files)
{
    std::set<std::string> names;
    for (const OutputFile &file : files)
        if (!outputNameAccepted(file.name) || !names.insert(file.name).second) return fileFailure(FILE_BAD_OUTPUT_NAME);

    std::string scratch = (folder.empty() ? std::string(".") : folder) + "/.partial-XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) return fileFailure(FILE_NO_TEMPORARY, errno);
    const std::string base = folderOf(scratch);
    const std::string fresh = scratch + "/new", kept = scratch + "/old";
    FileStatus status;
    if (mkdir(fresh.c_str(), 0700) != 0 || mkdir(kept.c_str(), 0700) != 0) status = fileFailure(FILE_NO_TEMPORARY, errno);

    for (size_t i = 0; fileOk(status) && i < files.size(); i++) {
        if (!makeFoldersFor(fresh, files[i].name)) {
            status = fileFailure(FILE_NO_TEMPORARY, errno);
            break;
        }
        const int error = writeNewFile(fresh + "/" + files[i].name, files[i].bytes);
        if (error != 0) status = fileFailure(FILE_WRITE_FAILED, error);
    }

    std::vector<MovedFile> moved;
    std::vector<std::string> madeFolders;
    std::set<std::string> folders = {base};
    for (size_t i = 0; fileOk(status) && i < files.size(); i++) {
        const std::string &name = files[i].name;
        if (!makeFoldersFor(base, name, &madeFolders)) {
            status = fileFailure(FILE_NO_TEMPORARY, errno);
            break;
        }
        MovedFile move;
        status = moveIntoPlace(fresh + "/" + name, base + "/" + name, kept + "/" + std::to_string(i), &move);
        if (fileOk(status)) {
            moved.push_back(move);
            folders.insert(folderOf(base + "/" + name));
        }
    }
    if (!fileOk(status)) {
        takeBack(moved);
        for (auto it = madeFolders.rbegin(); it != madeFolders.rend(); ++it) rmdir(it->c_str());
    }
    removeTree(scratch);
    for (const std::string &written : folders) syncFolder(written);
    return status;
}
