// Fuzz target: the unrar library through its published functions, for RAR 4 and
// RAR 5 archives alike: open, read every header, and skip, test or extract every
// entry into the scratch folder, with a cancel at a point the input decides.
//
// Input: the archive's bytes. The text "=VOLUME=" splits them into the volumes of a
// set, named "arc.part1.rar", "arc.part2.rar", ... or "arc.rar", "arc.r00", ...
// as a hash of the input picks. The same hash picks the open mode, each entry's
// operation, which record and which path form are used, and the data block at which
// the callback cancels. After every input the scratch folder must hold nothing but
// the volumes and what landed inside the destination, and every file the library
// opened must be closed again.
//
// Packers guard their headers with checksums that mutated bytes almost never match,
// so most inputs get them recomputed before they are written: the fuzzer then reaches
// what lies behind the headers. The other inputs keep theirs and try the checks.
#include "support/scratchfolder.h"
#include "unrar/rarcrc.h"
#include "unrar/unrar.h"

#include <dirent.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string VOLUME_SEPARATOR = "=VOLUME=";
// A damaged archive may unpack to far more than its size: past this many bytes (a
// little more than the largest window, so that its wrap is still reached) the target
// cancels, as setup's worker does when the player asks.
constexpr size_t MaxUnpackedBytes = 5u << 20;

// FNV-1a: every change of the input moves the choices it makes.
uint64_t hashOf(const uint8_t* data, size_t size) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return h;
}

// Hands out the hash's bits a few at a time.
class Choices {
public:
    explicit Choices(uint64_t seed) : state_(seed | 1) {}
    unsigned next(unsigned range) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<unsigned>(state_ % range);
    }

private:
    uint64_t state_;
};

struct CallbackState {
    unsigned cancelAtBlock = 0;  // 0: never
    unsigned blocks = 0;
    size_t bytes = 0;
    bool cancelled = false;
    bool answerPassword = false;
};

int UNRAR_CALL onCallback(unsigned int msg, UnrarParam userData, UnrarParam p1, UnrarParam p2) {
    CallbackState* state = reinterpret_cast<CallbackState*>(userData);
    if (msg == UCM_PROCESSDATA) {
        if (p2 < 0) fuzzFailure("a data block of negative size");
        // AddressSanitizer checks that the whole block can be read.
        const unsigned char* block = reinterpret_cast<const unsigned char*>(p1);
        volatile unsigned char sum = 0;
        for (long i = 0; i < p2; i += 4093) sum = sum + block[i];
        if (p2 > 0) sum = sum + block[p2 - 1];
        state->bytes += static_cast<size_t>(p2);
        if (++state->blocks == state->cancelAtBlock || state->bytes > MaxUnpackedBytes) {
            state->cancelled = true;
            return -1;
        }
        return 1;
    }
    if (msg == UCM_NEEDPASSWORD) {
        if (!state->answerPassword) return -1;
        std::strncpy(reinterpret_cast<char*>(p1), "password", static_cast<size_t>(p2));
        return 1;
    }
    return msg == UCM_CHANGEVOLUME || msg == UCM_CHANGEVOLUMEW ? -1 : 1;
}

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

uint32_t le16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
uint32_t le32(const std::string& s, size_t at) { return le16(s, at) | le16(s, at + 2) << 16; }

// RAR 4: the CRC16 of every file header (the low half of the CRC32 from its type on,
// without a comment that old packers keep inside the header).
void sealRar4Headers(std::string& volume) {
    const size_t marker = volume.find(std::string("Rar!\x1A\x07\x00", 7));
    if (marker == std::string::npos) return;
    for (uint64_t pos = marker + 7; pos + 7 <= volume.size();) {
        const unsigned type = static_cast<unsigned char>(volume[pos + 2]);
        const uint32_t flags = le16(volume, pos + 3), headSize = le16(volume, pos + 5);
        if (headSize < 7 || pos + headSize > volume.size()) return;
        uint64_t dataSize = 0;
        if (type == 0x74 && headSize >= 32) {
            size_t checked = headSize;
            const size_t nameEnd = ((flags & 0x0100) ? 40u : 32u) + le16(volume, pos + 26);
            if ((flags & 0x0008) && nameEnd < checked) checked = nameEnd;
            const uint32_t crc = rarCrc32(0, volume.data() + pos + 2, checked - 2);
            volume[pos] = static_cast<char>(crc);
            volume[pos + 1] = static_cast<char>(crc >> 8);
            dataSize = le32(volume, pos + 7);
            if ((flags & 0x0100) && headSize >= 40) dataSize |= uint64_t{le32(volume, pos + 32)} << 32;
        } else if ((flags & 0x8000) && headSize >= 11) {
            dataSize = le32(volume, pos + 7);
        }
        if (dataSize > volume.size() - pos - headSize) return;
        pos += headSize + dataSize;
    }
}

// A RAR 5 variable-length integer at `at`; false past the end or after 10 bytes.
bool readVint(const std::string& s, size_t& at, uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 70 && at < s.size(); shift += 7) {
        const unsigned char byte = static_cast<unsigned char>(s[at++]);
        value |= uint64_t{byte & 0x7Fu} << (shift < 64 ? shift : 63);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

// RAR 5: the CRC32 of every header (over its size field and its fields), up to an
// encryption header, after which the headers are ciphertext.
void sealRar5Headers(std::string& volume) {
    const size_t marker = volume.find(std::string("Rar!\x1A\x07\x01\x00", 8));
    if (marker == std::string::npos) return;
    for (uint64_t pos = marker + 8; pos + 5 <= volume.size();) {
        size_t at = pos + 4;
        uint64_t headerSize = 0, type = 0, flags = 0, extraSize = 0, dataSize = 0;
        if (!readVint(volume, at, headerSize) || headerSize > volume.size() - at) return;
        const size_t end = at + headerSize;
        if (!readVint(volume, at, type) || !readVint(volume, at, flags)) return;
        if ((flags & 1) && !readVint(volume, at, extraSize)) return;
        if ((flags & 2) && !readVint(volume, at, dataSize)) return;
        const uint32_t crc = rarCrc32(0, volume.data() + pos + 4, end - pos - 4);
        for (int i = 0; i < 4; ++i) volume[pos + i] = static_cast<char>(crc >> (8 * i));
        if (type == 4 || dataSize > volume.size() - end) return;
        pos = end + dataSize;
    }
}

// Writes the volumes and returns the name of the first.
std::string writeVolumes(const ScratchFolder& scratch, const uint8_t* data, size_t size, bool partNames,
                         bool sealHeaders) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t end = input.find(VOLUME_SEPARATOR, start);
        parts.push_back(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + VOLUME_SEPARATOR.size();
    }
    std::string first;
    for (size_t i = 0; i < parts.size() && i < 100; ++i) {
        if (sealHeaders) {
            sealRar4Headers(parts[i]);
            sealRar5Headers(parts[i]);
        }
        char name[32];
        if (partNames)
            std::snprintf(name, sizeof name, "arc.part%zu.rar", i + 1);
        else if (i == 0)
            std::snprintf(name, sizeof name, "arc.rar");
        else
            std::snprintf(name, sizeof name, "arc.r%02zu", i - 1);
        const std::string path =
            scratch.write(fs::path("in") / name, reinterpret_cast<const uint8_t*>(parts[i].data()), parts[i].size());
        if (i == 0) first = path;
    }
    return first;
}

// Everything below the scratch folder is a volume or lies inside the destination,
// and every link there resolves inside it.
void checkStayedInside(const ScratchFolder& scratch, const fs::path& destination) {
    const fs::path volumes = scratch.root() / "in";
    const std::string inside = destination.string() + "/";
    auto isInside = [&](const std::string& text) {
        return text == destination.string() || text.compare(0, inside.size(), inside) == 0;
    };
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(scratch.root(), ec); !ec && it != fs::end(it); it.increment(ec)) {
        const fs::path& path = it->path();
        if (path == volumes || path.parent_path() == volumes) continue;
        if (!isInside(path.string())) fuzzFailure("written outside the destination: " + path.string());
        if (it->is_symlink(ec)) {
            // A loop of links has no canonical form; then the link's own words count.
            std::error_code loop;
            std::string resolved = fs::weakly_canonical(path, loop).string();
            if (loop) resolved = (path.parent_path() / fs::read_symlink(path, ec)).lexically_normal().string();
            if (!isInside(resolved)) fuzzFailure("a link leads out of the destination: " + path.string());
        }
    }
    if (ec) fuzzFailure("cannot walk the scratch folder: " + ec.message());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("unrar");
    static const fs::path destination = scratch.root() / "out";
    const int descriptorsBefore = openDescriptors();
    Choices choose(hashOf(data, size));
    const bool partNames = choose.next(2) == 0;
    std::string arcName = writeVolumes(scratch, data, size, partNames, choose.next(8) != 0);

    CallbackState state;
    state.cancelAtBlock = choose.next(3) == 0 ? 1 + choose.next(16) : 0;
    state.answerPassword = choose.next(4) == 0;
    RAROpenArchiveDataEx open;
    std::memset(&open, 0, sizeof open);
    open.ArcName = &arcName[0];
    // Mostly extraction: listing reads the headers only.
    const unsigned listModes[] = {RAR_OM_LIST, RAR_OM_LIST_INCSPLIT};
    open.OpenMode = choose.next(4) == 0 ? listModes[choose.next(2)] : RAR_OM_EXTRACT;
    open.OpFlags = choose.next(4) == 0 ? ROADOF_KEEPBROKEN : 0;
    open.Callback = onCallback;
    open.UserData = reinterpret_cast<UnrarParam>(&state);
    void* handle = RAROpenArchiveEx(&open);
    if (!handle) {
        if (open.OpenResult == ERAR_SUCCESS) fuzzFailure("no handle, and no error");
    } else {
        std::string destText = destination.string();
        std::wstring destWide(destText.begin(), destText.end());
        std::string namedText = (destination / "named").string();
        std::unique_ptr<RARHeaderDataEx> header(new RARHeaderDataEx());
        RARHeaderData shortHeader;
        for (;;) {
            const int read =
                choose.next(4) == 0 ? RARReadHeader(handle, &shortHeader) : RARReadHeaderEx(handle, header.get());
            if (read != ERAR_SUCCESS) break;
            const unsigned pick = choose.next(8);
            int result;
            if (pick == 0)
                result = RARProcessFile(handle, RAR_SKIP, nullptr, nullptr);
            else if (pick == 1)
                result = RARProcessFile(handle, RAR_TEST, nullptr, nullptr);
            else if (pick == 2)
                result = RARProcessFileW(handle, RAR_EXTRACT, &destWide[0], nullptr);
            else if (pick == 3)
                result = RARProcessFile(handle, RAR_EXTRACT, nullptr, &namedText[0]);
            else
                result = RARProcessFile(handle, RAR_EXTRACT, &destText[0], nullptr);
            // Setup stops at a cancel; other callers read on after an error.
            if (state.cancelled || (result != ERAR_SUCCESS && choose.next(2) == 0)) break;
        }
        if (RARCloseArchive(handle) != ERAR_SUCCESS) fuzzFailure("closing an open archive failed");
    }

    checkStayedInside(scratch, destination);
    if (openDescriptors() != descriptorsBefore) fuzzFailure("a file of the archive was left open");
    scratch.empty();
    return 0;
}
