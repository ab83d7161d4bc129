// RAR 4.x writer with stored entries; the format is described in rarwriter.h.
#include "tools/mkmedium/rarwriter.h"

#include <cstring>

namespace {

constexpr unsigned char MarkerBlock[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr size_t EndBlockSize = 7;
constexpr size_t CopyBufferSize = 1 << 20;
constexpr size_t FileCrcOffset = 16;
constexpr unsigned char HostWindows = 2;
constexpr unsigned char HostUnix = 3;
constexpr uint32_t UnixSymlinkMode = 0120777;

enum : uint16_t {
    MainVolume = 0x0001,
    MainNewNumbering = 0x0010,
    MainFirstVolume = 0x0100,
    FileSplitBefore = 0x0001,
    FileSplitAfter = 0x0002,
    FileFolder = 0x00E0,
    FileLarge = 0x0100,
    FileUnicode = 0x0200,
    LongBlock = 0x8000,
    EndNextVolume = 0x0001,
};

void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void set32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// Fills in a header's size and CRC16; the header starts with the CRC16's two bytes.
void sealHeader(std::vector<unsigned char>& header) {
    header[5] = static_cast<unsigned char>(header.size());
    header[6] = static_cast<unsigned char>(header.size() >> 8);
    uint32_t crc = rarCrc32(0, header.data() + 2, header.size() - 2);
    header[0] = static_cast<unsigned char>(crc);
    header[1] = static_cast<unsigned char>(crc >> 8);
}

std::vector<unsigned char> blockStart(unsigned char type, uint16_t flags) {
    std::vector<unsigned char> header{0, 0, type};
    put16(header, flags);
    put16(header, 0);  // size, filled by sealHeader
    return header;
}

uint32_t dosTime(time_t t) {
    if (t == 0) t = time(nullptr);
    struct tm local;
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    if (local.tm_year < 80) return 0x00210000;  // 1980-01-01
    return static_cast<uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 | local.tm_mday << 16 |
                                 local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

// Separators become '\'; the name is otherwise kept as given, so tests can also make
// archives with hostile names.
std::string storedName(const std::string& name) {
    std::string out = name;
    for (auto& c : out)
        if (c == '/') c = '\\';
    return out;
}

bool isAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// The fixed part of a file header; the CRC32 at offset 16 is filled later.
std::vector<unsigned char> fileHeader(const std::string& name, uint16_t flags, uint64_t packed, uint64_t unpacked,
                                      time_t modified, uint32_t attributes, unsigned char host = HostWindows) {
    bool large = packed > 0xFFFFFFFFu || unpacked > 0xFFFFFFFFu;
    if (large) flags |= FileLarge;
    if (!isAscii(name)) flags |= FileUnicode;  // a name without a NUL inside is read as UTF-8
    std::vector<unsigned char> header = blockStart(0x74, static_cast<uint16_t>(flags | LongBlock));
    put32(header, static_cast<uint32_t>(packed));
    put32(header, static_cast<uint32_t>(unpacked));
    header.push_back(host);  // the host decides whether attributes are Windows or Unix ones
    put32(header, 0);        // file CRC32
    put32(header, dosTime(modified));
    header.push_back(29);    // version needed: 2.9
    header.push_back(0x30);  // method: store
    put16(header, static_cast<uint32_t>(name.size()));
    put32(header, attributes);
    if (large) {
        put32(header, static_cast<uint32_t>(packed >> 32));
        put32(header, static_cast<uint32_t>(unpacked >> 32));
    }
    header.insert(header.end(), name.begin(), name.end());
    return header;
}

}  // namespace

RarWriter::RarWriter(const std::string& path, uint64_t volumeSize) : path_(path), volumeSize_(volumeSize) {
    if (volumeSize_ != 0 && volumeSize_ < 256)
        fail("volume size below 256 bytes");
    else if (volumeSize_ != 0 && (path_.size() < 4 || path_.compare(path_.size() - 4, 4, ".rar") != 0))
        fail("volume names need an archive name ending in .rar");
    else
        openVolume();
}

RarWriter::~RarWriter() {
    if (file_) fclose(file_);
}

bool RarWriter::fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return false;
}

bool RarWriter::openVolume() {
    std::string name = path_;
    if (volumeSize_ != 0) {
        char number[16];
        snprintf(number, sizeof number, ".part%02zu.rar", volumes_.size() + 1);
        name = path_.substr(0, path_.size() - 4) + number;
    }
    file_ = fopen(name.c_str(), "wb+");
    if (!file_) return fail("cannot create " + name);
    volumes_.push_back(name);
    written_ = 0;
    uint16_t flags = 0;
    if (volumeSize_ != 0) flags = MainVolume | MainNewNumbering | (volumes_.size() == 1 ? MainFirstVolume : 0);
    std::vector<unsigned char> marker(MarkerBlock, MarkerBlock + sizeof MarkerBlock);
    std::vector<unsigned char> main = blockStart(0x73, flags);
    put16(main, 0);
    put32(main, 0);
    sealHeader(main);
    return writeHeader(marker) && writeHeader(main);
}

bool RarWriter::writeHeader(const std::vector<unsigned char>& header) {
    if (!file_ || fwrite(header.data(), 1, header.size(), file_) != header.size())
        return fail("write error in " + volumes_.back());
    written_ += header.size();
    return true;
}

bool RarWriter::closeVolume(bool anotherFollows) {
    std::vector<unsigned char> end =
        blockStart(0x7B, static_cast<uint16_t>(0x4000 | (anotherFollows ? EndNextVolume : 0)));
    sealHeader(end);
    bool ok = writeHeader(end);
    if (fclose(file_) != 0) ok = fail("cannot close " + volumes_.back());
    file_ = nullptr;
    return ok;
}

bool RarWriter::addFolder(const std::string& name, time_t modified) {
    if (!file_ || finished_) return fail("archive not open");
    std::string stored = storedName(name);
    if (stored.empty()) return fail("empty entry name");
    std::vector<unsigned char> header = fileHeader(stored, FileFolder, 0, 0, modified, 0x10);
    sealHeader(header);
    if (volumeSize_ != 0 && written_ + header.size() + EndBlockSize > volumeSize_)
        if (!closeVolume(true) || !openVolume()) return false;
    return writeHeader(header);
}

bool RarWriter::addSymlink(const std::string& name, const std::string& target) {
    if (!file_ || finished_) return fail("archive not open");
    std::string stored = storedName(name);
    if (stored.empty()) return fail("empty entry name");
    // A Unix link: the mode says so and the stored data is the target.
    std::vector<unsigned char> header =
        fileHeader(stored, 0, target.size(), target.size(), 0, UnixSymlinkMode, HostUnix);
    set32(header, FileCrcOffset, rarCrc32(0, target.data(), target.size()));
    sealHeader(header);
    if (volumeSize_ != 0 && written_ + header.size() + target.size() + EndBlockSize > volumeSize_)
        if (!closeVolume(true) || !openVolume()) return false;
    if (!writeHeader(header)) return false;
    std::vector<unsigned char> data(target.begin(), target.end());
    return writeHeader(data);
}

bool RarWriter::addBytes(const std::string& name, const void* data, size_t size, time_t modified) {
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    return addStream(
        name, size,
        [&](char* buffer, size_t want) {
            size_t n = want < left ? want : left;
            memcpy(buffer, p, n);
            p += n;
            left -= n;
            return n;
        },
        modified);
}

bool RarWriter::addFile(const std::string& name, const std::string& sourcePath) {
    FILE* in = fopen(sourcePath.c_str(), "rb");
    if (!in) return fail("cannot open " + sourcePath);
    bool ok = fseek(in, 0, SEEK_END) == 0;
#ifdef _WIN32
    long long size = ok ? _ftelli64(in) : -1;
#else
    long long size = ok ? ftello(in) : -1;
#endif
    ok = size >= 0 && fseek(in, 0, SEEK_SET) == 0;
    if (ok)
        ok = addStream(
            name, static_cast<uint64_t>(size), [&](char* buffer, size_t want) { return fread(buffer, 1, want, in); },
            0);
    else
        fail("cannot read " + sourcePath);
    fclose(in);
    return ok;
}

bool RarWriter::addStream(const std::string& name, uint64_t size, const DataSource& source, time_t modified) {
    if (!file_ || finished_) return fail("archive not open");
    std::string stored = storedName(name);
    if (stored.empty()) return fail("empty entry name");
    std::vector<char> buffer(CopyBufferSize);
    uint64_t left = size;
    uint32_t fileCrc = 0;
    uint16_t splitFlags = 0;
    for (;;) {
        std::vector<unsigned char> header = fileHeader(stored, splitFlags, 0, size, modified, 0x20);
        uint64_t part = left;
        if (volumeSize_ != 0) {
            uint64_t used = written_ + header.size() + EndBlockSize;
            uint64_t room = used < volumeSize_ ? volumeSize_ - used : 0;
            if (room == 0 && left > 0) {
                if (!closeVolume(true) || !openVolume()) return false;
                continue;
            }
            if (room < left) {
                part = room;
                splitFlags |= FileSplitAfter;
            }
        }
        header = fileHeader(stored, splitFlags, part, size, modified, 0x20);
        long long headerAt = static_cast<long long>(written_);
        sealHeader(header);
        if (!writeHeader(header)) return false;
        uint32_t partCrc = 0;
        for (uint64_t done = 0; done < part;) {
            size_t want = part - done < buffer.size() ? static_cast<size_t>(part - done) : buffer.size();
            size_t got = source(buffer.data(), want);
            if (got == 0) return fail("cannot read the data of " + name);
            partCrc = rarCrc32(partCrc, buffer.data(), got);
            fileCrc = rarCrc32(fileCrc, buffer.data(), got);
            if (fwrite(buffer.data(), 1, got, file_) != got) return fail("write error in " + volumes_.back());
            done += got;
            written_ += got;
        }
        left -= part;
        uint32_t crc = left > 0 ? partCrc : fileCrc;
        if (stored == storedName(corruptName_)) crc ^= 0xFFFFFFFFu;
        set32(header, FileCrcOffset, crc);
        sealHeader(header);
#ifdef _WIN32
        bool seeked = _fseeki64(file_, headerAt, SEEK_SET) == 0;
#else
        bool seeked = fseeko(file_, headerAt, SEEK_SET) == 0;
#endif
        if (!seeked || fwrite(header.data(), 1, header.size(), file_) != header.size() ||
            fseek(file_, 0, SEEK_END) != 0)
            return fail("cannot update the header of " + name);
        if (left == 0) return true;
        if (!closeVolume(true) || !openVolume()) return false;
        splitFlags = FileSplitBefore;
    }
}

bool RarWriter::finish() {
    if (finished_) return error_.empty();
    finished_ = true;
    if (file_) closeVolume(false);
    return error_.empty();
}
