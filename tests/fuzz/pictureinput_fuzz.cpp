// Fuzz target: any bytes as a publisher's PNG or JPEG picture: the kind its first
// bytes name, the decoding, and the TGA written from the pixels, which setup's own
// reader must take.
#include "gui/guiimage.h"
#include "support/scratchfolder.h"
#include "tools/mkmedium/pictureinput.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("pictureinput");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string kind = pictureKind(bytes);
    // A picture named as the other kind is read as what it is, so both decoders
    // see every input that looks like either.
    Pixels pixels;
    std::string error;
    if (!decodePicture(bytes, kind.empty() ? "PNG" : kind, pixels, error)) return 0;
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > GuiImage::MAX_TGA_SIDE ||
        pixels.height > GuiImage::MAX_TGA_SIDE || pixels.bgra.size() != size_t(pixels.width) * pixels.height * 4)
        fuzzFailure("decoded pixels of an impossible size");
    const std::string tga = tgaFile(pixels, !pixels.opaque());
    const std::string path = scratch.write("picture.tga", reinterpret_cast<const uint8_t*>(tga.data()), tga.size());
    GuiImage image;
    if (!image.loadTga(path) || image.getWidth() != pixels.width || image.getHeight() != pixels.height)
        fuzzFailure("setup does not read the TGA mkmedium wrote");
    return 0;
}
