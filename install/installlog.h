// install.log: the record of everything setup put on the disk, written by setup
// at the end of an installation and read by the uninstaller.
//
// Format: a text file in the installation folder, one entry a line, each line
// ended by CR LF; no header, no trailer, no blank lines. Entries are Windows
// paths in the ANSI code page: absolute ones (drive letter and colon first;
// folders end with a backslash) and names relative to the installation folder.
// The same line may occur more than once.
//
// Reading works as a C text stream read through a 260-byte line buffer would:
// CR LF counts as one line feed, a line is at most 259 characters including its
// line feed, so an entry of up to 258 characters reads back whole, a longer one
// as several entries (a 259-character entry is followed by an empty one). All
// trailing CR and LF characters are removed; an empty line gives an empty entry;
// a last line without line end is still an entry. Other bytes, NUL included, are
// kept as they stand, so that no entry is silently cut short.
//
// Both functions use binary streams with explicit CR LF, so the file is the same
// on every platform the code is built for.
#pragma once

#include <string>
#include <vector>

constexpr int INSTALL_LOG_LINE_BUFFER = 260;

// Writes the entries in order, truncating an earlier file. An entry holding CR,
// LF or NUL cannot name a Windows file and would break the line format, so it is
// left out. False when the file cannot be created or written; a file that could
// not be written completely is removed rather than left looking complete.
bool writeInstallLog(const std::string& path, const std::vector<std::string>& entries);

// Replaces `entries` with the entries of a log; false when the file cannot be
// opened or a read fails (then `entries` is left empty).
bool readInstallLog(const std::string& path, std::vector<std::string>& entries);

// How the uninstaller treats an entry. Absolute: at least 4 characters with ":"
// second; it keeps its meaning. Relative: joined to the installation folder.
// Unsafe: an entry that holds NUL (the system would read a shorter, different
// path) or a relative entry with a ".." component (which climbs out of the
// installation folder; Windows drops trailing dots and spaces from a component,
// so any component of only dots and spaces with two dots or more counts); it is
// never touched.
enum class LogEntryKind { Absolute, Relative, Unsafe };
LogEntryKind classifyLogEntry(const std::string& entry);
