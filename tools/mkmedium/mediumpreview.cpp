// Running setup's preview and making its pictures into PNG files and a sheet.
#include "tools/mkmedium/mediumpreview.h"

#include "mediumcatalogue.h"

#include <algorithm>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace fs = std::filesystem;

const char* const PreviewScreens[5] = {"welcome", "licence", "options", "progress", "installed"};

namespace {

constexpr int SheetGap = 8;

uint32_t number(const std::string& bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// A path as Wine's Windows programs see it: the Unix root is drive Z:.
std::string windowsPath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

}  // namespace

bool readPreviewBitmap(const std::string& bytes, Pixels& pixels) {
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || number(bytes, 28, 2) != 24) return false;
    const uint32_t offset = number(bytes, 10, 4);
    const int32_t width = static_cast<int32_t>(number(bytes, 18, 4)),
                  height = static_cast<int32_t>(number(bytes, 22, 4));
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    if (offset > bytes.size() || bytes.size() - offset < stride * height) return false;
    pixels.width = width;
    pixels.height = height;
    pixels.bgra.assign(size_t(width) * height * 4, 255);
    for (int32_t y = 0; y < height; ++y) {
        const char* row = bytes.data() + offset + stride * (height - 1 - y);  // bottom row first
        for (int32_t x = 0; x < width; ++x) std::memcpy(&pixels.bgra[(size_t(y) * width + x) * 4], row + 3 * x, 3);
    }
    return true;
}

Pixels contactSheet(const std::vector<Pixels>& screens) {
    Pixels sheet;
    int cellWidth = 0, cellHeight = 0;
    for (const Pixels& screen : screens) {
        cellWidth = std::max(cellWidth, screen.width);
        cellHeight = std::max(cellHeight, screen.height);
    }
    const int rows = static_cast<int>((screens.size() + 1) / 2);
    sheet.width = 2 * cellWidth + 3 * SheetGap;
    sheet.height = rows * cellHeight + (rows + 1) * SheetGap;
    sheet.bgra.assign(size_t(sheet.width) * sheet.height * 4, 0);
    for (size_t i = 3; i < sheet.bgra.size(); i += 4)
        sheet.bgra[i - 3] = sheet.bgra[i - 2] = sheet.bgra[i - 1] = 0x33, sheet.bgra[i] = 255;
    for (size_t n = 0; n < screens.size(); ++n) {
        const int left = SheetGap + static_cast<int>(n % 2) * (cellWidth + SheetGap);
        const int top = SheetGap + static_cast<int>(n / 2) * (cellHeight + SheetGap);
        for (int y = 0; y < screens[n].height; ++y)
            std::memcpy(&sheet.bgra[(size_t(top + y) * sheet.width + left) * 4],
                        &screens[n].bgra[size_t(y) * screens[n].width * 4], size_t(screens[n].width) * 4);
    }
    return sheet;
}

bool previewMedium(const fs::path& mediumFolder, const fs::path& outFolder, std::string& error) {
    std::error_code ec;
    fs::create_directories(outFolder, ec);
    const std::string setup = (mediumFolder / "setup.exe").string();
    const std::string target = "/PREVIEW=" + windowsPath(outFolder);
    char* argv[] = {const_cast<char*>("wine"), const_cast<char*>(setup.c_str()), const_cast<char*>(target.c_str()),
                    nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "wine", nullptr, nullptr, argv, environ) != 0) {
        error = "cannot start wine, which runs setup.exe here (install Wine)";
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "setup.exe could not draw the preview (exit code " +
                std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
        return false;
    }
    std::vector<Pixels> screens;
    for (const char* screen : PreviewScreens) {
        const fs::path bitmap = outFolder / (std::string(screen) + ".bmp");
        std::string bytes;
        Pixels pixels;
        if (!readWholeFile(bitmap, bytes) || !readPreviewBitmap(bytes, pixels)) {
            error = "setup.exe wrote no picture of the " + std::string(screen) + " screen";
            return false;
        }
        fs::remove(bitmap, ec);
        if (!writePng(outFolder / (std::string(screen) + ".png"), pixels)) {
            error = "cannot write " + (outFolder / (std::string(screen) + ".png")).string();
            return false;
        }
        screens.push_back(std::move(pixels));
    }
    if (!writePng(outFolder / "contact-sheet.png", contactSheet(screens))) {
        error = "cannot write the contact sheet";
        return false;
    }
    return true;
}
