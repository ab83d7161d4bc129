// The check of a medium's string table, "Media/strings.txt".
#pragma once

#include "tools/mkmedium/mediumreport.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What the check learnt of the string table that packing needs.
struct MediumStrings {
    std::string mainPackage;             // PATH_SOURCE
    std::vector<std::string> gameFiles;  // paths inside the game folder that setup uses
    int32_t poolUsed = 0;                // bytes of the text pool the file takes
    int64_t poolNeeded = 0;              // at least this many when it does not fit
};

// The largest number of characters MSG_MB and STR_APP_TITLE may hold: what is
// left of setup's space-message and window-title buffers around them.
constexpr size_t MaxUnitWordLength = 49;
constexpr size_t MaxAppTitleLength = 117;

// Checks the string table at `path`; `shownName` names it in the messages.
MediumStrings checkStrings(const std::filesystem::path& path, const std::string& shownName, MediumReport& report);
