// The checks that a medium folder passes before it ships: the string table
// "Media/strings.txt", every picture the screens and widgets draw, every sound
// cue, the licence and the readme, each in a file of its own.
#pragma once

#include "tools/mkmedium/documentcheck.h"
#include "tools/mkmedium/mediumreport.h"
#include "tools/mkmedium/picturecheck.h"
#include "tools/mkmedium/soundcheck.h"
#include "tools/mkmedium/stringscheck.h"

#include <filesystem>

// All the checks, for a medium folder.
MediumStrings checkMedium(const std::filesystem::path& mediumFolder, MediumReport& report);
