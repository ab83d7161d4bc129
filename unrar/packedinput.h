// The packed data of one entry as a byte source: a list of parts (an entry split over
// volumes has one part per volume), read in order from the volume files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PackedPart {
    size_t volume = 0;    // index into the archive's volume names
    uint64_t offset = 0;  // of the part's data in that file
    uint64_t size = 0;
};

// Moves to a 64-bit offset of a file opened with fopen; false on failure.
bool seekTo(FILE* f, uint64_t pos);

// Where a RAR archive starts in a file: at 0, or after the program part of a
// self-extracting archive (searched in its first 4 MB). The first marker found
// decides: `version` is 4 for RAR 1.5-4.x, 5 for RAR 5. -1 when there is none.
int64_t findRarMarker(FILE* f, int& version);

// The volume files of an archive, the last one used kept open from one entry to the
// next: opening the package again for every file is a round trip to the Wine server
// each time, as many as creating the file costs.
class VolumeFiles {
public:
    explicit VolumeFiles(const std::vector<std::string>& names) : names_(names) {}
    ~VolumeFiles();
    VolumeFiles(const VolumeFiles&) = delete;
    VolumeFiles& operator=(const VolumeFiles&) = delete;

    // Volume `index` opened for reading, or null when it cannot be.
    FILE* open(size_t index);

private:
    const std::vector<std::string>& names_;
    FILE* file_ = nullptr;
    size_t index_ = SIZE_MAX;
};

class PackedInput {
public:
    PackedInput(VolumeFiles& volumes, const std::vector<PackedPart>& parts);
    PackedInput(const PackedInput&) = delete;
    PackedInput& operator=(const PackedInput&) = delete;

    // Up to `size` bytes; 0 at the end of the data or on a failure (see failed()).
    size_t read(void* buffer, size_t size);
    uint64_t total() const { return total_; }
    // A volume could not be opened or read: the data is incomplete.
    bool failed() const { return failed_; }

private:
    bool openPart();

    VolumeFiles& volumes_;
    const std::vector<PackedPart>& parts_;
    size_t part_ = 0;
    uint64_t leftInPart_ = 0;
    bool partOpen_ = false;
    FILE* file_ = nullptr;
    uint64_t total_ = 0;
    bool failed_ = false;
};
