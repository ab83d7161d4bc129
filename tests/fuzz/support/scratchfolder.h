// The private folder of one fuzz target below the system's temporary folder: the
// input's bytes become files there, and nothing a target writes may land elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

class ScratchFolder {
public:
    // Makes a new, empty folder "quill-fuzz-<name>-XXXXXX"; a target that cannot have
    // one cannot run, so a failure ends the process.
    explicit ScratchFolder(const char* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }

    // Writes the bytes to `relative` (its folders are made) and returns the full path.
    std::string write(const std::filesystem::path& relative, const uint8_t* data, size_t size) const;
    // Removes everything inside the folder, keeping the folder itself.
    void empty() const;

private:
    std::filesystem::path root_;
};

// Ends the process with a message that libFuzzer reports as a finding: for a broken
// invariant that no sanitizer would notice.
[[noreturn]] void fuzzFailure(const std::string& what);
