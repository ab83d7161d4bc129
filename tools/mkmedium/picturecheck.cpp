// The pictures' check: every picture of the catalogue is there, an uncompressed
// TGA that setup reads, at the size and depth its screen needs.
#include "tools/mkmedium/picturecheck.h"

#include "gui/guiimage.h"
#include "mediumcatalogue.h"
#include "tools/mkmedium/pictureinput.h"

namespace fs = std::filesystem;

namespace {

// "progress screen's slide 1", "welcome and installed screens' background".
std::string useOf(const medium::Picture& picture) {
    std::string screens = picture.screens;
    const size_t comma = screens.find(", ");
    if (comma == std::string::npos) return screens + " screen's " + picture.use;
    return screens.replace(comma, 2, " and ") + " screens' " + picture.use;
}

// The folder box shows the caret inside its 18-pixel-high text area.
constexpr int MaxCaretHeight = 18;

struct TgaFacts {
    int width = 0, height = 0;
};

// Checks one picture against its rule; false when it is unusable.
bool checkPicture(const fs::path& mediaFolder, const medium::Picture& rule, MediumReport& report, TgaFacts& facts) {
    const std::string name = shownName(rule.file);
    const fs::path path = mediaFolder / (medium::pictureName(rule) + ".tga");
    const std::string who = name + " (" + useOf(rule) + "): ";
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        report.problems.push_back(who + "is missing. Add it as an uncompressed TGA picture.");
        return false;
    }
    const uintmax_t size = fs::file_size(path, ec);
    if (ec || size > MaxMediaFileBytes) {
        report.problems.push_back(who + "cannot be read or is far too large for a picture.");
        return false;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        report.problems.push_back(who + "cannot be read.");
        return false;
    }
    const size_t problemsBefore = report.problems.size();
    auto fault = [&](const std::string& text) { report.problems.push_back(who + text); };
    if (bytes.size() < 18) {
        fault("is too short to be a TGA picture. Save it again as TGA.");
        return false;
    }
    if (const std::string kind = pictureKind(bytes); !kind.empty()) {
        fault("this is a " + kind + " picture, not a TGA. " +
              (kind == "PNG" || kind == "JPEG" ? "Rename it to " + medium::pictureName(rule) +
                                                     (kind == "PNG" ? ".png" : ".jpg") + ", and mkmedium converts it."
                                               : "Save it as PNG."));
        return false;
    }
    auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const int idLength = byteAt(0), colourMap = byteAt(1), type = byteAt(2);
    facts.width = byteAt(12) | byteAt(13) << 8;
    facts.height = byteAt(14) | byteAt(15) << 8;
    const int bits = byteAt(16), descriptor = byteAt(17);
    const std::string saveAs = " Save it as an uncompressed 24- or 32-bit TGA with the origin at the lower left.";
    if (type == 10 || type == 11 || type == 9)
        fault("is run-length compressed (TGA type " + std::to_string(type) +
              "); setup reads only uncompressed pictures." + saveAs);
    else if (type != 2 && type != 3)
        fault("is TGA type " + std::to_string(type) + ", not uncompressed true colour (2) or grey (3)." + saveAs);
    if (colourMap != 0) fault("has a colour map (palette); setup reads only true-colour pictures." + saveAs);
    if (bits != 24 && bits != 32)
        fault("has " + std::to_string(bits) + " bits per pixel; setup reads 24 or 32." + saveAs);
    else if (rule.needsAlpha && bits != 32)
        fault("has " + std::to_string(bits) + " bits per pixel; it is laid over other artwork and needs 32 bits " +
              "(with an alpha channel) to let the background show through.");
    if (idLength != 0)
        fault("has an image-ID field of " + std::to_string(idLength) +
              " bytes, which setup would read as pixels. Save it without an image ID or comment.");
    if ((descriptor & 0x30) != 0)
        fault("is stored from the " + std::string(descriptor & 0x20 ? "top" : "lower right") +
              "; setup would show it upside down or mirrored." + saveAs);
    if (report.problems.size() != problemsBefore) return false;

    const std::string sizeText = std::to_string(facts.width) + " x " + std::to_string(facts.height) + " pixels";
    if (facts.width == 0 || facts.height == 0 || facts.width > GuiImage::MAX_TGA_SIDE ||
        facts.height > GuiImage::MAX_TGA_SIDE) {
        fault("is " + sizeText + ", which setup does not load.");
        return false;
    }
    const uint64_t pixelBytes = uint64_t(facts.width) * facts.height * (bits / 8);
    if (bytes.size() - 18 < pixelBytes) {
        fault("is cut short: " + sizeText + " need " + std::to_string(pixelBytes) +
              " bytes of pixels, the file holds " + std::to_string(bytes.size() - 18) + ". Save it again.");
        return false;
    }
    const bool wrongWidth = rule.width != medium::ANY_SIZE && facts.width != rule.width;
    const bool wrongHeight = rule.height != medium::ANY_SIZE && facts.height != rule.height;
    if (wrongWidth || wrongHeight) {
        std::string wanted = rule.height == medium::ANY_SIZE
                                 ? std::to_string(rule.width) + " pixels wide"
                                 : std::to_string(rule.width) + " x " + std::to_string(rule.height);
        fault("is " + sizeText + "; it must be " + wanted + ". Redraw it at that size.");
    }
    if (rule.x != medium::NO_PLACE &&
        (rule.x + facts.width > medium::PANEL_WIDTH || rule.y + facts.height > medium::PANEL_HEIGHT))
        fault("is " + sizeText + "; drawn at " + std::to_string(rule.x) + "," + std::to_string(rule.y) +
              " it leaves the 550 x 400 panel. Make it at most " + std::to_string(medium::PANEL_WIDTH - rule.x) +
              " x " + std::to_string(medium::PANEL_HEIGHT - rule.y) + ".");
    if (report.problems.size() != problemsBefore) return false;

    // Last, the installer's own reader must take it.
    GuiImage image;
    if (!image.loadTga(path.string())) {
        fault("is refused by setup's picture reader." + saveAs);
        return false;
    }
    return true;
}

}  // namespace

void checkPictures(const fs::path& mediaFolder, MediumReport& report) {
    TgaFacts sliderTop;
    for (const medium::Picture* rule : medium::PICTURES) {
        TgaFacts facts;
        if (!checkPicture(mediaFolder, *rule, report, facts)) continue;
        const std::string name = medium::pictureName(*rule);
        if (name == "scroll_slider_top") sliderTop = facts;
        if (name == "scroll_slider_bottom" && sliderTop.height != 0 && facts.height != sliderTop.height)
            report.problems.push_back("Media/scroll_slider_bottom.tga: is " + std::to_string(facts.height) +
                                      " pixels high; the thumb places it by the height of scroll_slider_top.tga (" +
                                      std::to_string(sliderTop.height) + "), so both must be equally high.");
        if (name == "edit_cursor" && facts.height > MaxCaretHeight)
            report.problems.push_back("Media/edit_cursor.tga: is " + std::to_string(facts.height) +
                                      " pixels high; the folder box shows at most " + std::to_string(MaxCaretHeight) +
                                      ". Make the caret shorter.");
    }
}
