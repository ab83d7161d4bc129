// Fuzz target: any bytes as a TGA picture, then the picture blended (alpha for 32
// bits, cross-fade for 24) whole and in part onto a back-buffer surface, at a
// place, opacity and clip taken from the input's last bytes.
#include "gui/guiimage.h"
#include "support/scratchfolder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder scratch("guiimage");
    const std::string path = scratch.write("picture.tga", data, size);
    GuiImage picture;
    if (!picture.loadTga(path)) return 0;
    if (picture.getFormat() != GUI_FORMAT_24 && picture.getFormat() != GUI_FORMAT_32)
        fuzzFailure("a loaded picture has no pixel format");

    // The parameters come from the end of the file, where pixels are: a picture
    // that loads keeps loading while they change.
    FuzzedDataProvider tail(data, size);
    GuiImage backBuffer;
    const int32_t width = tail.ConsumeIntegralInRange<int32_t>(1, 300);
    const int32_t height = tail.ConsumeIntegralInRange<int32_t>(1, 300);
    if (!backBuffer.create(width, height, GUI_FORMAT_24, true)) fuzzFailure("a small surface was refused");
    backBuffer.clear();
    const int32_t x = tail.ConsumeIntegral<int16_t>();
    const int32_t y = tail.ConsumeIntegral<int16_t>();
    const GuiRect clip(tail.ConsumeIntegral<int16_t>(), tail.ConsumeIntegral<int16_t>(),
                       tail.ConsumeIntegral<int16_t>(), tail.ConsumeIntegral<int16_t>());
    const GuiRect part(tail.ConsumeIntegral<int16_t>(), tail.ConsumeIntegral<int16_t>(),
                       tail.ConsumeIntegral<int16_t>(), tail.ConsumeIntegral<int16_t>());
    // Any bit pattern, NaN and infinities included: the blends hold it to 0..1.
    const uint32_t opacityBits = tail.ConsumeIntegral<uint32_t>();
    float opacity;
    std::memcpy(&opacity, &opacityBits, sizeof opacity);

    if (!backBuffer.draw(picture, x, y, opacity, clip)) fuzzFailure("a loaded picture could not be drawn");
    backBuffer.draw(picture, 0, 0, 1.0f, GuiRect(0, 0, width, height));
    backBuffer.drawRect(picture, x, y, part, opacity, clip);
    return 0;
}
