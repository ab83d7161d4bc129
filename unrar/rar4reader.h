// The RAR 1.5-4.x engine: walks the files of a Rar4Archive and produces their data,
// stored or through RarUnpacker, checked against size and CRC32. In a solid archive
// the files the caller skipped are decoded (and dropped) when a later one is needed.
#pragma once

#include "unrar/packedinput.h"
#include "unrar/rar4archive.h"
#include "unrar/rarunpack.h"

#include <memory>
#include <string>
#include <vector>

class Rar4Reader {
public:
    // ERAR_SUCCESS, or why the archive cannot be read (see readRar4Archive).
    int open(const std::vector<std::string>& volumes);

    // Moves to the next file: ERAR_SUCCESS, ERAR_END_ARCHIVE or ERAR_BAD_DATA.
    int next();
    const Rar4File& current() const { return archive_.files[index_]; }
    const Rar4Archive& archive() const { return archive_; }

    // Produces the current file's data into `sink`: ERAR_SUCCESS, the sink's code, or
    // ERAR_BAD_DATA (damaged, wrong size or CRC), ERAR_EOPEN (a volume is missing),
    // ERAR_UNKNOWN_FORMAT (a compression this engine does not decode), ERAR_NO_MEMORY.
    int unpack(UnpackSink& sink);
    // A small stored file's content (a symbolic link's target); false when unreadable.
    bool readSmall(std::string& content, size_t limit);

private:
    int unpackFile(size_t index, UnpackSink& sink);
    bool needsDecoder(const Rar4File& file) const;

    Rar4Archive archive_;
    VolumeFiles volumeFiles_{archive_.volumes};
    std::unique_ptr<RarUnpacker> unpacker_;
    std::unique_ptr<unsigned char[]> storedBlock_;  // stored data on their way through
    size_t index_ = 0;
    bool started_ = false;
    size_t decoded_ = 0;  // files before this one went through the decoder or need not
};
