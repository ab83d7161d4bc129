// The check of a medium's sound cues.
#pragma once

#include "tools/mkmedium/mediumreport.h"

#include <filesystem>

// Checks that every sound cue in `mediaFolder` holds MP3 audio that decodes.
void checkSounds(const std::filesystem::path& mediaFolder, MediumReport& report);
