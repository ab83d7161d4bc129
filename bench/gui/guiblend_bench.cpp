// Benchmarks of the panel redraw: the two blends over a full 550 x 400 picture,
// memcpy of the same bytes as the physical floor, and a whole frame of a busy screen.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gui/guifont.h"
#include "gui/guirenderer.h"
#include "gui/guiwindow.h"

namespace {

constexpr int PANEL_W = 550;
constexpr int PANEL_H = 400;

void fillNoise(GuiImage& image, uint32_t seed) {
    uint8_t* p = image.getData(0, 0);
    for (uint32_t i = 0; i < image.getSizeBytes(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        p[i] = static_cast<uint8_t>(seed >> 24);
    }
}

GuiImage& backBuffer() {
    static int window;
    static bool ready = false;
    if (!ready) {
        initGui(&window);
        setGuiArea(GuiRect(0, 0, PANEL_W, PANEL_H));
        fillNoise(getRenderer()->getBackBuffer(), 1);
        ready = true;
    }
    return getRenderer()->getBackBuffer();
}

GuiImage& picture(int w, int h, uint32_t format, uint32_t seed) {
    GuiImage* image = new GuiImage;  // kept for the whole run
    image->create(w, h, format, false);
    fillNoise(*image, seed);
    return *image;
}

void BM_AlphaBlendFullPanel(benchmark::State& state) {
    GuiImage& target = backBuffer();
    static GuiImage& source = picture(PANEL_W, PANEL_H, GUI_FORMAT_32, 2);
    const GuiRect clip(0, 0, PANEL_W, PANEL_H);
    for (auto _ : state) {
        target.draw(source, 0, 0, 0.8f, clip);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * PANEL_W * PANEL_H * 3);
}
BENCHMARK(BM_AlphaBlendFullPanel)->Unit(benchmark::kMicrosecond);

void BM_CrossFadeFullPanel(benchmark::State& state) {
    GuiImage& target = backBuffer();
    static GuiImage& source = picture(PANEL_W, PANEL_H, GUI_FORMAT_24, 3);
    const GuiRect clip(0, 0, PANEL_W, PANEL_H);
    for (auto _ : state) {
        target.draw(source, 0, 0, 0.5f, clip);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * PANEL_W * PANEL_H * 3);
}
BENCHMARK(BM_CrossFadeFullPanel)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFullPanel(benchmark::State& state) {
    std::vector<uint8_t> from(PANEL_W * PANEL_H * 3, 7), to(PANEL_W * PANEL_H * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * PANEL_W * PANEL_H * 3);
}
BENCHMARK(BM_MemcpyFullPanel)->Unit(benchmark::kMicrosecond);

// Background, two slides cross-fading, a bar with its percentage, a hover
// picture and the caption over everything.
void BM_BusyScreenFrame(benchmark::State& state) {
    backBuffer();
    GuiRenderer* renderer = getRenderer();
    static GuiImage& background = picture(PANEL_W, PANEL_H, GUI_FORMAT_24, 4);
    static GuiImage& slideOld = picture(453, 211, GUI_FORMAT_24, 5);
    static GuiImage& slideNew = picture(453, 211, GUI_FORMAT_24, 6);
    static GuiImage& bar = picture(344, 16, GUI_FORMAT_32, 7);
    static GuiImage& hover = picture(120, 40, GUI_FORMAT_32, 8);
    static GuiImage& caption = picture(PANEL_W, PANEL_H, GUI_FORMAT_32, 9);
    static GuiFont font;
    static bool fontReady = font.create("Arial", 8, GuiColor(255, 255, 255, 255), false);
    benchmark::DoNotOptimize(fontReady);
    const GuiRect barClip(48, 330, 344, 16);
    for (auto _ : state) {
        renderer->drawImage(background, 0, 0, 1.0f);
        renderer->drawImage(slideOld, 48, 60, 1.0f);
        renderer->drawImage(slideNew, 48, 60, 0.4f);
        renderer->setClip(&barClip);
        renderer->drawImage(bar, 48, 330, 1.0f);
        renderer->setClip(nullptr);
        font.drawText(400, 332, "57 %");
        renderer->drawImage(hover, 400, 350, 1.0f);
        renderer->drawImage(caption, 0, 0, 1.0f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusyScreenFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
