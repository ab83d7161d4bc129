// The fuzz targets' scratch folder.
#include "support/scratchfolder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const char* name) {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / ("quill-fuzz-" + std::string(name) + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (ec || !mkdtemp(buffer.data())) fuzzFailure("cannot make a scratch folder from " + pattern);
    // The canonical form, so that escapes can be told by comparing paths.
    root_ = fs::canonical(buffer.data());
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

std::string ScratchFolder::write(const fs::path& relative, const uint8_t* data, size_t size) const {
    const fs::path path = root_ / relative;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) fuzzFailure("cannot write " + path.string());
    return path.string();
}

void ScratchFolder::empty() const {
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(root_, ec)) fs::remove_all(item.path(), ec);
}

void fuzzFailure(const std::string& what) {
    std::fprintf(stderr, "fuzz: %s\n", what.c_str());
    std::abort();
}
