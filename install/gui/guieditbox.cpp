// GuiEditBox: text entry with a blinking caret.
#include "gui/guieditbox.h"

#include <climits>
#include <cstring>

#include "gui/guifont.h"
#include "gui/guiplatform.h"
#include "gui/guirenderer.h"
#include "gui/guisharedpicture.h"
#include "gui/guiwidgetpictures.h"

namespace {

GuiSharedPicture caretPicture(guipictures::EDIT_CARET);

// Key codes of the navigation keys; typed characters with the same codes act alike.
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_END = 35;
constexpr int KEY_HOME = 36;
constexpr int KEY_LEFT = 37;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_DELETE = 46;

// ASCII only: no code above 127 is accepted, whatever the code page makes of it.
bool isAccepted(int key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z')) return true;
    return key != 0 && std::strchr("_\\/ -:", key) != nullptr;
}

}  // namespace

GuiEditBox::~GuiEditBox() {
    if (holdsCaret) caretPicture.release();
}

int GuiEditBox::setText(const char* newText) {
    if (newText) text = newText;
    caret = length();
    return caret;
}

int32_t GuiEditBox::length() const {
    return text.size() > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(text.size());
}

int32_t GuiEditBox::textLeft(bool forHitTest) const {
    if (align != ALIGN_CENTRE) return innerRect.x;
    const int32_t textWidth = font->measure(text.c_str(), length());
    const int32_t left = (innerRect.w - textWidth) / 2 + innerRect.x;
    if (left >= innerRect.x) return left;
    return innerRect.x + innerRect.w - textWidth - (forHitTest ? 0 : 3);
}

bool GuiEditBox::draw() {
    if (!font) return false;
    GuiRenderer* renderer = guiRenderer();
    if (!renderer) return true;
    renderer->setClip(&innerRect);
    const int32_t x = textLeft(false);
    font->drawText(x, innerRect.y, text.c_str());
    if (!readOnly && caretOn && caretPicture.get())
        renderer->drawImage(*caretPicture.get(), x + font->measure(text.c_str(), caret), innerRect.y + 2, 1.0f);
    renderer->setClip(nullptr);
    return true;
}

bool GuiEditBox::onMouse(int event) {
    platformShowIBeamCursor();
    if (event != GE_LBUTTONDOWN || !font) return true;
    int32_t mx, my;
    getMousePos(mx, my);
    const int32_t dx = mx - textLeft(true);
    // The caret goes to the first character boundary at or right of the point,
    // measured over the text and two spaces. Within one space's width past the end
    // that boundary lies after the text: it is held to the end, so the caret never
    // stands where there is no character to insert before.
    const std::string padded = text + "  ";
    const int32_t n = length() >= INT32_MAX - 2 ? INT32_MAX : length() + 2;
    if (dx >= font->measure(padded.c_str(), n)) {
        caret = length();
        return true;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (font->measure(padded.c_str(), i) >= dx) {
            caret = i < length() ? i : length();
            break;
        }
    }
    return true;
}

bool GuiEditBox::create() {
    innerRect = rect;
    innerRect.deflate(2);
    if (!holdsCaret) {
        caretPicture.acquire(false);
        holdsCaret = true;
    }
    return true;
}

bool GuiEditBox::update() {
    if (readOnly) return true;
    const uint32_t now = platformTickCount();
    // Signed difference: the tick count wraps after 49 days.
    if (static_cast<int32_t>(now - lastBlink) > BLINK_MS) {
        caretOn = platformKeyHeld() ? true : !caretOn;
        lastBlink = now;
    }
    return true;
}

bool GuiEditBox::onKey(int key) {
    if (readOnly) return false;
    switch (key) {
    case KEY_BACKSPACE:
        if (caret > 0) text.erase(static_cast<size_t>(--caret), 1);
        return true;
    case KEY_DELETE:
        if (caret < length()) {
            text.erase(static_cast<size_t>(caret), 1);
            return true;
        }
        return false;  // "." shares the code and is not a character the box takes
    case KEY_LEFT:
        if (caret >= 1) --caret;
        return true;
    case KEY_RIGHT:
        if (caret < length()) ++caret;
        return true;
    case KEY_HOME:
        caret = 0;
        return true;
    case KEY_END:
        caret = length();
        return true;
    default:
        break;
    }
    if (!isAccepted(key)) return false;
    text.insert(static_cast<size_t>(caret), 1, static_cast<char>(key));
    ++caret;
    return true;
}
