// install.log: the record of everything setup put on the disk, written by setup
// at the end of an installation and read by the uninstaller.
//
// Format: a text file in the installation folder, one entry a line, each line
// ended by CR LF; no header, no trailer, no blank lines. Entries are Windows
// paths in the ANSI code page: absolute ones (drive letter and colon first;
// folders end with a backslash) and names relative to the installation folder.
// The same line may occur more than once.
//
// Reading takes whole lines: CR LF counts as one line feed, all trailing CR and
// LF characters are removed, an empty line gives an empty entry and a last line
// without line end is still an entry. Setup works in 260-character path
// buffers, so no line it writes is longer than 259 characters; a longer line is
// damage and is skipped as a whole (cutting it into pieces could turn its tail
// into an absolute path). Other bytes, NUL included, are kept as they stand, so
// that no entry is silently cut short.
//
// Both functions use binary streams with explicit CR LF, so the file is the same
// on every platform the code is built for.
//
// Removing what a log lists (setup's rollback and the uninstaller) follows one
// rule, `planRemoval`: relative entries stay below the installation folder;
// absolute entries are honoured only where setup puts them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The longest line that is read as an entry.
constexpr size_t INSTALL_LOG_LONGEST_LINE = 259;

// Writes the entries in order, truncating an earlier file. An entry holding CR,
// LF or NUL cannot name a Windows file and would break the line format, so it is
// left out. False when the file cannot be created or written; a file that could
// not be written completely is removed rather than left looking complete.
bool writeInstallLog(const std::string& path, const std::vector<std::string>& entries);

// Replaces `entries` with the entries of a log; false when the file cannot be
// opened or a read fails (then `entries` is left empty). Lines longer than
// INSTALL_LOG_LONGEST_LINE are skipped; their number goes to `skippedLines`
// when it is given.
bool readInstallLog(const std::string& path, std::vector<std::string>& entries, size_t* skippedLines = nullptr);

// The folders setup writes to: the installation folder, and the user's desktop
// and Start-menu programs folders for the shortcuts and the program group. An
// empty folder matches nothing.
struct InstallPlaces {
    std::string installDir;
    std::string desktop;
    std::string programs;
};

// What removing one entry means: deleting `path` (a file or an empty folder),
// then the folders between it and the place it lies in, deepest first, each only
// when it is empty (setup makes them without listing them: the library creates
// the folders of an entry, finishing the parent of a nested program group).
// An empty `path` means the entry is skipped.
struct EntryRemoval {
    std::string path;
    std::vector<std::string> enclosingFolders;
};

// The removal of an entry. Skipped: an entry holding NUL (the system would read
// a shorter, different path); any entry with a ".." component (Windows drops
// trailing dots and spaces from a component, so any component of only dots and
// spaces with two dots or more counts); an absolute entry (at least 4 characters
// with ":" second) that is not inside the installation folder, nor a shortcut
// (".lnk", ".url") or a folder below the desktop or programs folder, or that
// names a stream. A relative entry is joined to the installation folder with
// "//". Folders are compared without regard to ASCII letter case and with "/"
// and "\" alike.
EntryRemoval planRemoval(const std::string& entry, const InstallPlaces& places);
