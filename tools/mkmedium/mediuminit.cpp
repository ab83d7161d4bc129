// The medium template that `mkmedium init` writes.
#include "tools/mkmedium/mediuminit.h"

#include "mediumcatalogue.h"
#include "tools/mkmedium/pictureinput.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A size for the pictures whose size the artwork decides: the caption pictures
// cover the part of the panel where their screen's labels stand.
void templateSize(const medium::Picture& picture, int& width, int& height) {
    width = picture.width;
    height = picture.height;
    if (picture.x != medium::NO_PLACE) {
        if (width == medium::ANY_SIZE) width = std::min(333, medium::PANEL_WIDTH - picture.x);
        if (height == medium::ANY_SIZE) height = std::min(122, medium::PANEL_HEIGHT - picture.y);
    }
    if (width == medium::ANY_SIZE) width = picture.needsAlpha ? 2 : 22;  // the caret, the slider's pieces
    if (height == medium::ANY_SIZE) height = picture.needsAlpha ? 14 : 6;
}

// Backgrounds and slides in shades of blue with a frame, so that each shows
// where it lies; pictures laid over others are a see-through gold.
Pixels placeholder(const medium::Picture& picture, int index) {
    Pixels pixels;
    templateSize(picture, pixels.width, pixels.height);
    pixels.bgra.resize(size_t(pixels.width) * pixels.height * 4);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) {
            uint8_t* p = &pixels.bgra[(size_t(y) * pixels.width + x) * 4];
            const bool edge = x == 0 || y == 0 || x == pixels.width - 1 || y == pixels.height - 1;
            if (picture.needsAlpha) {
                p[0] = 0x53, p[1] = 0xC4, p[2] = 0xF1, p[3] = edge ? 255 : 96;
            } else {
                p[0] = static_cast<uint8_t>(edge ? 0x53 : 0x57 + index * 5 + y * 60 / pixels.height);
                p[1] = static_cast<uint8_t>(edge ? 0xC4 : 0x35);
                p[2] = static_cast<uint8_t>(edge ? 0xF1 : 0x1D);
                p[3] = 255;
            }
        }
    return pixels;
}

std::string stringsTemplate() {
    std::string text =
        "# The texts and settings of the medium: one key and its text a line. Lines that\n"
        "# start with # are comments; mkmedium leaves them out of the medium. Save this\n"
        "# file as UTF-8; mkmedium writes it in the code page of LNG_CHARSET.\n";
    for (const medium::Key& key : medium::KEYS)
        text += std::string("\n# ") + key.meaning + (key.required ? "" : " (may be left out)") + "\n" + key.name + " " +
                key.example + "\n";
    text += "\n# Additional installers, 0 to " + std::to_string(medium::ADD_INSTALL_SLOTS - 1) +
            ": the program inside the game folder, and the question asked before it\n"
            "# (without one it runs without asking). Remove the # to use one.\n"
            "# PATH_ADD_INSTALL_0 Extras\\Setup.exe\n"
            "# MSG_CONFIRM_ADD_INSTALL_0 Do you want to install the extras?\n";
    return text;
}

bool writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

std::string silentMp3(int frames) {
    // 128 kbit/s at 44.1 kHz: 417 bytes a frame; zero side information and main
    // data decode to silence.
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    std::string bytes;
    for (int i = 0; i < frames; ++i) bytes += frame;
    return bytes;
}

bool writeMediumTemplate(const fs::path& folder, std::string& error) {
    std::error_code ec;
    if (fs::exists(folder, ec) && (!fs::is_directory(folder, ec) || !fs::is_empty(folder, ec))) {
        error = folder.string() + " is not a new or empty folder";
        return false;
    }
    fs::create_directories(folder / "Media", ec);
    bool written = !ec;
    written = written && writeFile(folder / "Media" / "strings.txt", stringsTemplate());
    written = written && writeFile(folder / "Media" / "license.txt",
                                   "LICENCE AGREEMENT\n\nReplace this text with the licence of your game. The licence "
                                   "screen shows it word-wrapped; an empty line separates paragraphs.\n");
    written = written && writeFile(folder / "Readme.txt",
                                   "Replace this text with your game's readme. The readme button of setup opens it.\n");
    int index = 0;
    for (const medium::Picture* picture : medium::PICTURES)
        written = written &&
                  writePng(folder / "Media" / (medium::pictureName(*picture) + ".png"), placeholder(*picture, index++));
    for (const medium::Cue* cue : medium::CUES) {
        std::string file = cue->file;
        written =
            written && writeFile(folder / "Media" / file.substr(file.rfind('\\') + 1), silentMp3(cue->loop ? 40 : 8));
    }
    if (!written) error = "cannot write into " + folder.string();
    return written;
}
