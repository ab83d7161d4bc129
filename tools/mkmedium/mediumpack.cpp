// Reading the game folder, planning the packages and writing them with the RAR writer.
#include "tools/mkmedium/mediumpack.h"

#include "tools/mkmedium/mediumreport.h"
#include "tools/mkmedium/rarwriter.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

namespace fs = std::filesystem;

namespace {

// Names longer than this leave too little of setup's 260-character paths for
// the installation folder.
constexpr size_t MaxEntryNameLength = 160;
constexpr uint64_t ClusterBytes = 4096;

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What is wrong with a game file's name for a Windows installation, or "".
std::string nameProblem(const std::string& component) {
    for (unsigned char c : component) {
        if (c >= 128)
            return "has letters outside plain ASCII, which the installation log and the uninstaller spell in the "
                   "player's code page, where they may be missing";
        if (c < 32 || std::string("<>:\"\\|?*").find(static_cast<char>(c)) != std::string::npos)
            return "holds a character that Windows does not allow in file names";
    }
    if (component.back() == ' ' || component.back() == '.') return "ends in a space or dot, which Windows drops";
    std::string stem = lowerCase(component.substr(0, component.find('.')));
    for (const char* reserved : {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "lpt1", "lpt2", "lpt3"})
        if (stem == reserved) return "is a device name on Windows";
    return "";
}

void readFolder(const fs::path& root, const fs::path& folder, GameFolder& game, std::vector<std::string>& problems) {
    std::vector<fs::path> children;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) children.push_back(item.path());
    if (ec) {
        problems.push_back(folder.string() + ": cannot be read (" + ec.message() + ").");
        return;
    }
    std::sort(children.begin(), children.end());
    for (const fs::path& child : children) {
        GameEntry entry;
        entry.name = child.lexically_relative(root).generic_string();
        entry.source = child;
        const std::string shown = "game file " + entry.name;
        std::string problem = nameProblem(child.filename().string());
        if (problem.empty() && entry.name.size() > MaxEntryNameLength)
            problem = "is a path of " + std::to_string(entry.name.size()) + " characters; at most " +
                      std::to_string(MaxEntryNameLength) + " leave room for the installation folder";
        if (!problem.empty()) {
            problems.push_back(shown + ": " + problem + ". Rename it.");
            // A folder's contents are read all the same, so that one run names every file to rename.
            if (fs::is_directory(fs::symlink_status(child, ec))) readFolder(root, child, game, problems);
            continue;
        }
        const fs::file_status status = fs::symlink_status(child, ec);
        if (fs::is_symlink(status)) {
            problems.push_back(shown +
                               ": is a symbolic link, which Windows cannot install. Put the file itself there.");
        } else if (fs::is_directory(status)) {
            entry.folder = true;
            game.entries.push_back(entry);
            readFolder(root, child, game, problems);
        } else if (fs::is_regular_file(status)) {
            entry.size = fs::file_size(child, ec);
            game.bytes += entry.size;
            game.entries.push_back(entry);
        } else {
            problems.push_back(shown + ": is neither a file nor a folder. Remove it.");
        }
    }
}

// Bytes a package spends on one entry besides its data: its header and name.
uint64_t entryOverhead(const GameEntry& entry) { return 40 + entry.name.size(); }

// A file's modification time for its package entry; 0 when unknown.
time_t modifiedTime(const fs::path& path) {
    std::error_code ec;
    const fs::file_time_type stamp = fs::last_write_time(path, ec);
    if (ec) return 0;
    const auto sinceNow = stamp - fs::file_time_type::clock::now();
    return std::chrono::system_clock::to_time_t(
        std::chrono::system_clock::now() + std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceNow));
}

}  // namespace

GameFolder readGameFolder(const fs::path& root, std::vector<std::string>& problems) {
    GameFolder game;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        problems.push_back(root.string() + ": is not a folder. Give the folder that holds the game's files.");
        return game;
    }
    readFolder(root, root, game, problems);
    if (game.bytes == 0 && problems.empty())
        problems.push_back(root.string() + ": holds no files. Give the folder that holds the game's files.");
    if (game.bytes > MaxGameBytes)
        problems.push_back(root.string() + ": holds " + std::to_string(game.bytes >> 20) +
                           " MB; setup counts at most 2 GB (2,147,483,647 bytes) of game files.");
    return game;
}

bool gameHasFile(const GameFolder& game, const std::string& path) {
    std::string wanted = lowerCase(path);
    std::replace(wanted.begin(), wanted.end(), '\\', '/');
    for (const GameEntry& entry : game.entries)
        if (!entry.folder && lowerCase(entry.name) == wanted) return true;
    return false;
}

void shipStringTable(GameFolder& game, const fs::path& stringsFile) {
    std::error_code ec;
    const uint64_t size = fs::file_size(stringsFile, ec);
    bool folder = false;
    for (GameEntry& entry : game.entries) {
        const std::string name = lowerCase(entry.name);
        folder = folder || (name == "media" && entry.folder);
        if (name == "media/strings.txt" && !entry.folder) {
            game.bytes = game.bytes - entry.size + size;
            entry.source = stringsFile;
            entry.size = size;
            return;
        }
    }
    if (!folder) game.entries.push_back(GameEntry{"Media", {}, 0, true});
    game.entries.push_back(GameEntry{"Media/strings.txt", stringsFile, size, false});
    game.bytes += size;
}

bool planPackages(const GameFolder& game, const std::string& mainPackage, uint64_t splitBytes,
                  std::vector<Package>& packages, std::string& error) {
    packages.clear();
    packages.push_back(Package{mainPackage, {}, 0});
    uint64_t filled = 0;  // data and headers in the current package
    for (size_t i = 0; i < game.entries.size(); ++i) {
        const GameEntry& entry = game.entries[i];
        const uint64_t cost = entry.size + entryOverhead(entry);
        if (splitBytes != 0 && filled != 0 && filled + cost > splitBytes) {
            packages.push_back(Package{"data" + std::to_string(packages.size() - 1) + ".pak", {}, 0});
            filled = 0;
        }
        packages.back().entries.push_back(i);
        packages.back().bytes += entry.size;
        filled += cost;
    }
    if (packages.size() > MaxPackages) {
        const uint64_t smallest = (game.bytes + MaxPackages - 1) / MaxPackages;
        error = "the game needs " + std::to_string(packages.size()) + " packages of at most " +
                std::to_string(splitBytes >> 20) + " MB, but setup reads at most " + std::to_string(MaxPackages) +
                " (the main package and data0.pak to data127.pak). Choose --split " +
                std::to_string((smallest >> 20) + 2) + " or more.";
        return false;
    }
    return true;
}

bool writePackages(const GameFolder& game, const std::vector<Package>& packages, const fs::path& folder,
                   const PackProgress& progress, std::string& error) {
    uint64_t done = 0;
    for (const Package& package : packages) {
        const fs::path path = folder / package.file;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        RarWriter writer(path.string());
        progress(done, game.bytes, package.file);
        for (size_t index : package.entries) {
            const GameEntry& entry = game.entries[index];
            const time_t modified = modifiedTime(entry.source);
            bool added;
            if (entry.folder) {
                added = writer.addFolder(entry.name, modified);
            } else {
                FILE* in = std::fopen(entry.source.string().c_str(), "rb");
                if (!in) {
                    error = "cannot read game file " + entry.name;
                    return false;
                }
                uint64_t left = entry.size;
                added = writer.addStream(
                    entry.name, entry.size,
                    [&](char* buffer, size_t size) {
                        size_t got = std::fread(buffer, 1, size, in);
                        done += got;
                        left -= std::min<uint64_t>(got, left);
                        progress(done, game.bytes, package.file);
                        return got;
                    },
                    modified);
                std::fclose(in);
                if (added && left != 0) {
                    error = "game file " + entry.name + " changed size while it was packed; pack again";
                    return false;
                }
            }
            if (!added) {
                error = package.file + ": " + writer.error();
                return false;
            }
        }
        if (!writer.finish()) {
            error = package.file + ": " + writer.error();
            return false;
        }
    }
    progress(done, game.bytes, "");
    return true;
}

uint64_t spaceNeedMb(const GameFolder& game, uint64_t extraBytes) {
    uint64_t bytes = extraBytes;
    for (const GameEntry& entry : game.entries) bytes += (entry.size + ClusterBytes - 1) / ClusterBytes * ClusterBytes;
    const uint64_t mb = uint64_t(1) << 20;
    return std::max<uint64_t>(1, (bytes + mb - 1) / mb);
}

std::string withSpaceNeed(const std::string& stringsText, uint64_t megabytes) {
    const std::string key = "INT_SPACE_NEED";
    std::string out;
    bool written = false;
    bool crlf = stringsText.find("\r\n") != std::string::npos;
    for (size_t at = 0; at < stringsText.size();) {
        size_t end = stringsText.find('\n', at);
        end = end == std::string::npos ? stringsText.size() : end + 1;
        std::string line = stringsText.substr(at, end - at);
        at = end;
        if (line.compare(0, key.size(), key) == 0 && (line.size() == key.size() || isKeySeparator(line[key.size()]))) {
            size_t lineEnd = line.find_first_of("\r\n");
            line = key + " " + std::to_string(megabytes) + (lineEnd == std::string::npos ? "" : line.substr(lineEnd));
            written = true;
        }
        out += line;
    }
    if (!written) {
        if (!out.empty() && out.back() != '\n') out += crlf ? "\r\n" : "\n";
        out += key + " " + std::to_string(megabytes) + (crlf ? "\r\n" : "\n");
    }
    return out;
}
