// Reading publishers' PNG and JPEG pictures (libpng, libjpeg) and writing the
// TGA files that setup reads.
#include "tools/mkmedium/pictureinput.h"

#include "gui/guiimage.h"
#include "mediumcatalogue.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <jpeglib.h>
#include <map>
#include <png.h>

namespace fs = std::filesystem;

namespace {

// --- JPEG ------------------------------------------------------------------------

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info) {
    JpegError* error = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, error->message);
    std::longjmp(error->jump, 1);
}

bool decodeJpeg(const std::string& bytes, Pixels& pixels, std::string& error) {
    jpeg_decompress_struct info{};
    JpegError jpegError{};
    info.err = jpeg_std_error(&jpegError.manager);
    jpegError.manager.error_exit = onJpegError;
    std::vector<uint8_t> row;
    if (setjmp(jpegError.jump)) {
        jpeg_destroy_decompress(&info);
        error = jpegError.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&info, TRUE);
    if (info.image_width > GuiImage::MAX_TGA_SIDE || info.image_height > GuiImage::MAX_TGA_SIDE) {
        error = "is " + std::to_string(info.image_width) + " x " + std::to_string(info.image_height) +
                " pixels, far larger than any picture of the panel";
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    pixels.width = static_cast<int>(info.output_width);
    pixels.height = static_cast<int>(info.output_height);
    pixels.bgra.assign(size_t(pixels.width) * pixels.height * 4, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {pixels.bgra.data() + size_t(info.output_scanline) * pixels.width * 4};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// --- PNG -------------------------------------------------------------------------

bool decodePng(const std::string& bytes, Pixels& pixels, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = image.message;
        return false;
    }
    if (image.width > GuiImage::MAX_TGA_SIDE || image.height > GuiImage::MAX_TGA_SIDE) {
        error = "is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels, far larger than any picture of the panel";
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.bgra.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, pixels.bgra.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

// --- the pictures of a medium ----------------------------------------------------

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What a file's name says it is.
std::string kindOfExtension(const std::string& extension) {
    if (extension == ".png") return "PNG";
    if (extension == ".jpg" || extension == ".jpeg") return "JPEG";
    return "TGA";
}

}  // namespace

bool Pixels::opaque() const {
    for (size_t i = 3; i < bgra.size(); i += 4)
        if (bgra[i] != 255) return false;
    return true;
}

std::string pictureKind(const std::string& bytes) {
    auto startsWith = [&](const char* mark, size_t length) { return bytes.compare(0, length, mark, length) == 0; };
    if (startsWith("\x89PNG\r\n\x1a\n", 8)) return "PNG";
    if (startsWith("\xFF\xD8\xFF", 3)) return "JPEG";
    if (startsWith("GIF8", 4)) return "GIF";
    if (startsWith("BM", 2) && bytes.size() > 14) return "BMP";
    // A RIFF file names its form at offset 8; a shorter one names none.
    if (startsWith("RIFF", 4) && bytes.size() >= 12 && bytes.compare(8, 4, "WEBP") == 0) return "WebP";
    return "";
}

bool decodePicture(const std::string& bytes, const std::string& kind, Pixels& pixels, std::string& error) {
    if (kind == "PNG") return decodePng(bytes, pixels, error);
    if (kind == "JPEG") return decodeJpeg(bytes, pixels, error);
    error = "is a " + kind + " picture, which mkmedium does not read";
    return false;
}

std::string tgaFile(const Pixels& pixels, bool withAlpha) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(pixels.width & 0xFF);
    bytes[13] = static_cast<char>(pixels.width >> 8);
    bytes[14] = static_cast<char>(pixels.height & 0xFF);
    bytes[15] = static_cast<char>(pixels.height >> 8);
    bytes[16] = static_cast<char>(withAlpha ? 32 : 24);
    bytes[17] = static_cast<char>(withAlpha ? 8 : 0);  // alpha bits; origin at the lower left
    for (int y = pixels.height - 1; y >= 0; --y) {
        const uint8_t* row = pixels.bgra.data() + size_t(y) * pixels.width * 4;
        for (int x = 0; x < pixels.width; ++x)
            bytes.append(reinterpret_cast<const char*>(row + 4 * x), withAlpha ? 4 : 3);
    }
    return bytes;
}

bool writePng(const fs::path& path, const Pixels& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, path.string().c_str(), 0, pixels.bgra.data(), 0, nullptr) != 0;
}

void convertPictures(const fs::path& mediaFolder, MediumReport& report) {
    // The Media folder's files by lower-case name, for names in any letter case.
    std::map<std::string, fs::path> files;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(mediaFolder, ec))
        if (item.is_regular_file(ec)) files[lowerCase(item.path().filename().string())] = item.path();

    for (const medium::Picture* picture : medium::PICTURES) {
        const std::string name = medium::pictureName(*picture);
        std::vector<fs::path> given;
        for (const char* extension : {".tga", ".png", ".jpg", ".jpeg"}) {
            auto found = files.find(name + extension);
            if (found != files.end()) given.push_back(found->second);
        }
        if (given.empty()) continue;  // the picture check tells that it is missing
        const std::string shown = "Media/" + name;
        if (given.size() > 1) {
            std::string list;
            for (const fs::path& path : given) list += (list.empty() ? "" : " and ") + path.filename().string();
            report.problems.push_back(shown + ": is given as " + list + ". Keep one of them.");
            continue;
        }
        const fs::path source = given[0];
        const std::string named = kindOfExtension(lowerCase(source.extension().string()));
        std::string bytes;
        if (fs::file_size(source, ec) > MaxMediaFileBytes || !readWholeFile(source, bytes)) {
            report.problems.push_back("Media/" + source.filename().string() +
                                      ": cannot be read or is far too large for a picture.");
            continue;
        }
        const std::string kind = pictureKind(bytes);
        const std::string who =
            "Media/" + source.filename().string() + " (" + picture->screens + ": " + picture->use + "): ";
        // TGA files, and files named so that are something else, are the picture check's.
        if (named == "TGA") continue;
        if (kind != "PNG" && kind != "JPEG") {
            report.problems.push_back(who + "this is " +
                                      (kind.empty() ? "no PNG or JPEG picture" : "a " + kind + " picture") +
                                      ", not a " + named + ". Save it as PNG.");
            continue;
        }
        // Read as what it is; the wrong name is still the publisher's to mend.
        if (kind != named)
            report.problems.push_back(who + "this is a " + kind + " picture, not a " + named + ". Rename it to " +
                                      name + (kind == "JPEG" ? ".jpg." : ".png."));
        Pixels pixels;
        std::string error;
        if (!decodePicture(bytes, kind, pixels, error)) {
            report.problems.push_back(who + "cannot be read as a " + kind + " picture: " + error + ". Save it again.");
            continue;
        }
        const bool opaque = pixels.opaque();
        if (picture->needsAlpha && kind == "JPEG") {
            report.problems.push_back(who +
                                      "is a JPEG, which has no transparency; it is laid over other artwork. "
                                      "Give it as a PNG with an alpha channel.");
            continue;
        }
        // Pictures of any depth keep their transparency; opaque ones need no alpha.
        const bool withAlpha = picture->needsAlpha || !opaque;
        const fs::path target = mediaFolder / (name + ".tga");
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        const std::string tga = tgaFile(pixels, withAlpha);
        out.write(tga.data(), static_cast<std::streamsize>(tga.size()));
        if (!out) {
            report.problems.push_back(who + "cannot be written as " + target.filename().string() + ".");
            continue;
        }
        out.close();
        fs::remove(source, ec);
        report.notes.push_back(who + "a " + kind + " of " + std::to_string(pixels.width) + " x " +
                               std::to_string(pixels.height) + " pixels, written as a " + (withAlpha ? "32" : "24") +
                               "-bit TGA.");
    }
}
