// GuiTextView: a wrapped text file in a scrolling box.
#include "gui/guitextview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "gui/guifont.h"
#include "gui/guirenderer.h"
#include "gui/guiscrollbar.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

int doNothing(GuiWindow*) { return 0; }

}  // namespace

bool GuiTextView::loadText(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return false;
    if (!font) return false;
    char strBuf[LINE_BUFFER];
    std::vector<int16_t> pairs;
    while (std::fgets(strBuf, sizeof strBuf, file.get())) {
        // A zero byte inside the line ends it here, as it ends it for wrap.
        const size_t length = std::strlen(strBuf);
        pairs.clear();
        font->wrap(rect, ALIGN_LEFT, strBuf, pairs);
        size_t offset = 0;
        for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
            const size_t count = std::min<size_t>(static_cast<uint16_t>(pairs[i + 1]), length - offset);
            lines.emplace_back(strBuf + offset, count);
            offset += count;
        }
    }
    return true;
}

bool GuiTextView::create() {
    textRect = GuiRect(rect.x + 15, rect.y + 10, rect.w - 55, rect.h - 20);
    if (!scrollBar) {
        scrollBar = new GuiScrollBar;
        addChild(scrollBar, doNothing);
        scrollBar->setRect(rect.x + rect.w - 20, rect.y, SCROLL_BAR_WIDTH, rect.h);
    }
    if (font) {
        const int64_t lineHeight = font->getLineHeight();
        const int64_t contentHeight = std::min<int64_t>(lineHeight * static_cast<int64_t>(lines.size()), INT32_MAX);
        scrollBar->setContentHeight(static_cast<int32_t>(contentHeight));
        scrollBar->setLineStep(static_cast<int32_t>(lineHeight));
        scrollBar->setViewHeight(rect.h);
        scrollBar->setPosition(0.0f);
    }
    scrollBar->create();
    return true;
}

bool GuiTextView::draw() {
    if (!font) return false;
    GuiRenderer* renderer = guiRenderer();
    if (!renderer) return true;
    renderer->setClip(&textRect);
    const int32_t lineHeight = font->getLineHeight();
    const float scrolled = static_cast<float>(lines.size()) * (scrollBar ? scrollBar->getPosition() : 0.0f);
    // The part of the first line scrolled past lies above the clip.
    size_t first = scrolled > 0.0f ? static_cast<size_t>(scrolled) : 0;
    int32_t y = textRect.y - static_cast<int32_t>((scrolled - static_cast<float>(first)) * lineHeight);
    for (; y <= textRect.y + textRect.h && first < lines.size(); ++first, y += lineHeight)
        font->drawText(textRect.x, y, lines[first].c_str());
    if (scrollBar) scrollBar->draw();
    renderer->setClip(nullptr);
    return true;
}

bool GuiTextView::onMouse(int event) {
    GuiWindow::onMouse(event);
    return false;
}
