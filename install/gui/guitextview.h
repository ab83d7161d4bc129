// GuiTextView: a text file word-wrapped into display lines and drawn in a fixed
// box with smooth (sub-line) scrolling and a GuiScrollBar child along its right
// edge (the licence). Lines are drawn in textRect, the rectangle less 15 pixels on
// the left, 40 on the right and 10 at the top and bottom; the scroll bar is 22
// pixels wide, 20 inside the right edge and 2 outside. One arrow click scrolls one
// line.
//
// Order of use: setRect, setFont, loadText, then create (through the screen's
// create), which sizes the scroll bar from the lines loaded. A text loaded after
// create is drawn, but the scroll bar keeps its old sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/guiwindow.h"

class GuiFont;
class GuiScrollBar;

class GuiTextView : public GuiWindow {
public:
    // Lines are read in pieces of at most this many bytes, the line end included:
    // a longer line of the file wraps as several.
    static constexpr int LINE_BUFFER = 1024;
    static constexpr int32_t SCROLL_BAR_WIDTH = 22;

    // Not owned; needed by loadText and draw.
    void setFont(GuiFont* newFont) { font = newFont; }
    // Appends the file's lines, each wrapped to the view's full width, to the
    // display lines (which are never cleared). False when the file cannot be
    // opened or there is no font.
    bool loadText(const std::string& path);

    const std::vector<std::string>& getLines() const { return lines; }
    const GuiRect& getTextRect() const { return textRect; }
    GuiScrollBar* getScrollBar() const { return scrollBar; }

    // Places the text area, builds the scroll bar (once) and sizes it from the
    // loaded lines: content height = lines x line height, view height = the
    // view's full height, line step = one line, position 0. True.
    bool create() override;
    // Draws the lines visible at the scroll position, the first one cut at the
    // top by the part scrolled past, then the scroll bar. False without a font.
    bool draw() override;
    // Passes the event on to the scroll bar when the point is on it; false.
    bool onMouse(int event) override;

private:
    GuiRect textRect;
    std::vector<std::string> lines;
    GuiFont* font = nullptr;
    GuiScrollBar* scrollBar = nullptr;
};
