// The few file-system operations extraction needs, on Win32 (wide API) and POSIX.
// Nothing here follows a symbolic link that an archive could have planted.
#pragma once

#include "unrar/entrypath.h"

#include <cstddef>
#include <cstdint>
#include <ctime>

enum class PathKind { Missing, File, Directory, Link };

// What lies at `path`, without following a final link (a reparse point on Windows).
PathKind pathKind(const PathString& path);

// Creates the folder and any missing parents; true when it exists as a folder after.
// Used for the caller's own destination path, which is trusted.
bool makeFolderTree(const PathString& path);

// Creates one folder; true when it exists as a real folder (not a link) afterwards.
bool makeFolder(const PathString& path);

bool removeFile(const PathString& path);

bool makeSymlink(const PathString& target, const PathString& linkPath, bool toFolder);

// Copies an already extracted file (for hard-link entries).
bool copyFile(const PathString& from, const PathString& to);

// A file being written; closes (and keeps) itself when destroyed unopened or closed.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates the file new. A file or link already at `path` is removed first and
    // never written through; a folder there makes it fail. The common case, a name
    // that is free, costs one system call: on Wine every look-up of a missing name
    // reads the whole folder, so the name is not looked up before.
    bool create(const PathString& path);
    bool write(const void* data, size_t size);
    // Sets the modification time (when non-zero) and closes; false when the close failed.
    bool close(time_t modified);

private:
    bool openNew(const PathString& path);

#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};
