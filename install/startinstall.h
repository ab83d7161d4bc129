// Starting the installation: the longest folder it accepts, and the free-space
// check's message, kept apart so that it can be checked for any sizes.
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
