// Starting the installation: the free-space check's message, kept apart so that
// it can be checked for any sizes.
#pragma once

#include <string>

// The message shown when freeMb megabytes are fewer than needMb (compared as
// unsigned 64-bit numbers, so a negative need is never met); empty when the
// space suffices.
std::string outOfSpaceMessage(unsigned long long freeMb, int needMb);
