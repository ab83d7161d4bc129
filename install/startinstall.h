// Starting the installation: the longest folder it accepts, and the messages of
// the folder and free-space checks, kept apart so that they can be checked for
// any folder and sizes.
#pragma once

#include <cstddef>
#include <string>

// The longest installation folder: setup works in path buffers of 260
// characters, and the uninstaller it copies into the folder must fit one too.
constexpr size_t LONGEST_INSTALL_DIR = 260 - sizeof "\\uninstall.exe";

// The message shown when freeMb megabytes are fewer than needMb (compared as
// unsigned 64-bit numbers, so a negative need is never met); empty when the
// space suffices.
std::string outOfSpaceMessage(unsigned long long freeMb, int needMb);

// The message shown when the installation folder cannot be created or written:
// the text of ERR_NO_WRITE (an English text when the medium has none), then the
// folder on a line of its own.
std::string unwritableFolderMessage(const std::string& folder);
