// Packing a game folder into a medium's packages: the main package (named by
// PATH_SOURCE) and then data0.pak ... data127.pak, each one whole RAR archive,
// filled in order up to a size the publisher chooses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// One entry of the game folder: a folder or a file, named relative to it.
struct GameEntry {
    std::string name;  // '/' between components
    std::filesystem::path source;
    uint64_t size = 0;
    bool folder = false;
};

struct GameFolder {
    std::vector<GameEntry> entries;  // sorted, every folder before its contents
    uint64_t bytes = 0;              // sum of the file sizes
};

// setup counts the unpacked bytes of all packages in a signed 32-bit number.
constexpr uint64_t MaxGameBytes = 0x7FFFFFFF;
// The main package and data0.pak ... data127.pak.
constexpr int MaxPackages = 129;

// Reads the game folder; every name that setup could not install well is a
// problem (with the file named and what to do).
GameFolder readGameFolder(const std::filesystem::path& root, std::vector<std::string>& problems);

// True when `path` (relative, '\' or '/' between components) names a file of
// the game folder; Windows compares names without regard to case.
bool gameHasFile(const GameFolder& game, const std::string& path);

// Makes the game install the medium's own string table as "Media/strings.txt",
// in place of any copy the game folder holds: the uninstaller that the Start-menu
// shortcut starts reads the product's identity and texts from there, and a stale
// copy would name another product.
void shipStringTable(GameFolder& game, const std::filesystem::path& stringsFile);

struct Package {
    std::string file;             // name in the medium's folder
    std::vector<size_t> entries;  // indexes into GameFolder::entries
    uint64_t bytes = 0;           // data bytes of its files
};

// Distributes the entries over packages of at most `splitBytes` of file data
// each (0: one package). A file larger than that gets a package of its own,
// since setup opens every package as one archive. False, with `error` set, when
// more than MaxPackages would be needed.
bool planPackages(const GameFolder& game, const std::string& mainPackage, uint64_t splitBytes,
                  std::vector<Package>& packages, std::string& error);

// Reports packing progress: bytes packed so far of all, and the package being written.
using PackProgress = std::function<void(uint64_t done, uint64_t total, const std::string& package)>;

// Writes the planned packages into `folder`; false with `error` set on the
// first failure.
bool writePackages(const GameFolder& game, const std::vector<Package>& packages, const std::filesystem::path& folder,
                   const PackProgress& progress, std::string& error);

// Megabytes an installation needs: the files with each rounded up to whole
// 4-KiB clusters, plus `extraBytes` (the uninstaller and the log), rounded up.
uint64_t spaceNeedMb(const GameFolder& game, uint64_t extraBytes);

// Rewrites the value of every INT_SPACE_NEED line of a string table's text (or
// appends the line), keeping the file's line ends.
std::string withSpaceNeed(const std::string& stringsText, uint64_t megabytes);
