// install.log: the record of everything setup put on the disk, written by setup
// at the end of an installation and read by the uninstaller.
//
// Format: a text file in the installation folder, one entry a line, each line
// ended by CR LF; no header, no trailer, no blank lines. Entries are Windows
// paths in the ANSI code page: absolute ones (drive letter and colon first;
// folders end with a backslash) and names relative to the installation folder.
// The same line may occur more than once. Readers take a line into a 260-byte
// buffer, so an entry longer than 258 characters reads back as several entries.
#pragma once

#include <string>
#include <vector>

constexpr int INSTALL_LOG_LINE_BUFFER = 260;

// Writes the entries in order; false when the file cannot be created.
bool writeInstallLog(const std::string& path, const std::vector<std::string>& entries);

// Reads the entries of a log; false when the file cannot be opened.
bool readInstallLog(const std::string& path, std::vector<std::string>& entries);
