// The checks that a medium folder passes before it ships: the string table
// "Media/strings.txt", every picture the screens and widgets draw, every sound
// cue, the licence and the readme. Each problem names the file (and the key or
// picture), says what is wrong and what to do, in words for the publisher.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct MediumReport {
    std::vector<std::string> problems;  // each makes the medium unusable
    std::vector<std::string> notes;     // worth knowing, not wrong

    bool ok() const { return problems.empty(); }
};

// What the checks learnt of the string table that packing needs.
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

// Checks every picture in `mediaFolder` for presence, format and size.
void checkPictures(const std::filesystem::path& mediaFolder, MediumReport& report);

// Checks that every sound cue in `mediaFolder` holds MP3 audio that decodes.
void checkSounds(const std::filesystem::path& mediaFolder, MediumReport& report);

// All of the above, and the licence and readme, for a medium folder.
MediumStrings checkMedium(const std::filesystem::path& mediumFolder, MediumReport& report);

// Rewrites the value of every INT_SPACE_NEED line of a string table's text (or
// appends the line), keeping the file's line ends.
std::string withSpaceNeed(const std::string& stringsText, uint64_t megabytes);
