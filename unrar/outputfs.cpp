// File-system operations for extraction: Win32 wide API on Windows, POSIX natively.
#include "unrar/outputfs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

PathKind pathKind(const PathString& path) {
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::Link;
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::File;
}

bool makeFolder(const PathString& path) {
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return pathKind(path) == PathKind::Directory;
}

bool makeFolderTree(const PathString& path) {
    if (pathKind(path) == PathKind::Directory) return true;
    // Create each prefix that ends before a separator; the drive root and the
    // server part of a UNC path simply fail to be created and are passed over.
    for (size_t i = 1; i < path.size(); ++i)
        if ((path[i] == L'\\' || path[i] == L'/') && path[i - 1] != L':' && path[i - 1] != L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    DWORD attrs = GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool removeFile(const PathString& path) {
    if (pathKind(path) == PathKind::Link && RemoveDirectoryW(path.c_str())) return true;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != 0;
}

bool makeSymlink(const PathString& target, const PathString& linkPath, bool toFolder) {
    PathString windowsTarget = target;
    for (auto& c : windowsTarget)
        if (c == L'/') c = L'\\';
    DWORD flags = toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    return CreateSymbolicLinkW(linkPath.c_str(), windowsTarget.c_str(), flags) != 0;
}

bool copyFile(const PathString& from, const PathString& to) { return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0; }

OutputFile::~OutputFile() {
    if (handle_) CloseHandle(handle_);
}

bool OutputFile::openNew(const PathString& path) {
    // CREATE_NEW fails on any existing name, a link included, so nothing is followed.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

bool OutputFile::write(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle_, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        size -= written;
    }
    return true;
}

bool OutputFile::close(time_t modified) {
    if (modified != 0) {
        // Seconds since 1970 to 100 ns intervals since 1601.
        ULONGLONG ticks = (static_cast<ULONGLONG>(modified) + 11644473600ULL) * 10000000ULL;
        FILETIME ft;
        ft.dwLowDateTime = static_cast<DWORD>(ticks);
        ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SetFileTime(handle_, nullptr, nullptr, &ft);
    }
    bool ok = CloseHandle(handle_) != 0;
    handle_ = nullptr;
    return ok;
}

#else

PathKind pathKind(const PathString& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return PathKind::Missing;
    if (S_ISLNK(st.st_mode)) return PathKind::Link;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::File;
}

bool makeFolder(const PathString& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    return pathKind(path) == PathKind::Directory;
}

bool makeFolderTree(const PathString& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    for (size_t i = 1; i < path.size(); ++i)
        if (path[i] == '/' && path[i - 1] != '/') mkdir(path.substr(0, i).c_str(), 0755);
    mkdir(path.c_str(), 0755);
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const PathString& path) { return unlink(path.c_str()) == 0; }

bool makeSymlink(const PathString& target, const PathString& linkPath, bool) {
    return symlink(target.c_str(), linkPath.c_str()) == 0;
}

bool copyFile(const PathString& from, const PathString& to) {
    int in = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) return false;
    OutputFile out;
    bool ok = out.create(to);
    char buffer[65536];
    while (ok) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = out.write(buffer, static_cast<size_t>(n));
    }
    ::close(in);
    return out.close(0) && ok;
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool OutputFile::openNew(const PathString& path) {
    // O_EXCL fails on any existing name, a link included, so nothing is followed.
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool OutputFile::write(const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool OutputFile::close(time_t modified) {
    if (fd_ < 0) return false;
    if (modified != 0) {
        struct timespec times[2];
        times[0].tv_sec = modified;
        times[0].tv_nsec = 0;
        times[1] = times[0];
        futimens(fd_, times);
    }
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

#endif

bool OutputFile::create(const PathString& path) {
    if (openNew(path)) return true;
    // The name is taken (or the folder above is missing): an old file or link makes
    // way, a folder stays and the entry fails.
    PathKind kind = pathKind(path);
    if (kind == PathKind::Missing || kind == PathKind::Directory || !removeFile(path)) return false;
    return openNew(path);
}
