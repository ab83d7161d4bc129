// GuiEditBox: a single-line text entry (the installation folder). The box is inert
// (read-only) until its owner clears the flag; then it takes the characters and
// navigation keys that the window procedure delivers, moves the caret on a click
// and blinks the caret. Every accepted key and every mouse event that reaches it
// returns true, so its reactor runs and reads the text back with getText.
//
// Keys share one code space: the characters of typing and the codes 35, 36, 37,
// 39 and 46 of End, Home, Left, Right and Delete. So "#", "$", "%" and "'" act as
// End, Home, Left and Right, and "." deletes the character after the caret.
// Accepted characters: ASCII letters and digits and "_", "\", "/", " ", "-", ":".
//
// The text is drawn with the box's font inside innerRect (the rectangle less 2
// pixels on every side), left-aligned or, with ALIGN_CENTRE, centred; a centred
// text wider than the box shows its right end, 3 pixels inside the right edge.
// The caret is the shared picture "Media\edit_cursor.tga", drawn 2 pixels below
// the text's top just after the character before the caret.
#pragma once

#include <cstdint>
#include <string>

#include "gui/guiwindow.h"

class GuiFont;

class GuiEditBox : public GuiWindow {
public:
    // Milliseconds between two phases of the caret's blink.
    static constexpr int32_t BLINK_MS = 500;

    GuiEditBox() = default;
    // Releases this box's hold on the caret picture.
    ~GuiEditBox() override;

    // Not owned; without a font the box draws nothing (editing still works).
    void setFont(GuiFont* newFont) { font = newFont; }
    // ALIGN_CENTRE centres the text; any other value left-aligns it.
    void setAlign(int newAlign) { align = newAlign; }
    // A read-only box ignores keys, shows no caret and does not blink.
    void setReadOnly(bool value) { readOnly = value; }
    bool isReadOnly() const { return readOnly; }

    // Replaces the text unless newText is null, and puts the caret at the end of
    // the text; returns the new caret index (the text's length).
    int setText(const char* newText);
    std::string getText() const { return text; }
    // Index of the character after the caret, 0 .. length of the text.
    int32_t getCaret() const { return caret; }
    // The blink phase: whether the caret is drawn now.
    bool isCaretOn() const { return caretOn; }
    const GuiRect& getInnerRect() const { return innerRect; }

    // Draws the text and the caret, clipped to innerRect; false without a font.
    bool draw() override;
    // Shows the I-beam pointer for every event; a left-button press moves the
    // caret to the character boundary at the mouse point. Always true.
    bool onMouse(int event) override;
    // innerRect := the rectangle less 2 pixels on every side; takes this box's
    // hold on the caret picture (read at once). True.
    bool create() override;
    // Blinks the caret: each time more than BLINK_MS have passed since the last
    // change, it is turned on while a key is held and inverted otherwise. True.
    bool update() override;
    // Edits the text (see above); true when the key was taken, also when it
    // changed nothing (Backspace at the start, Left at the start, Right at the end);
    // false for a rejected character, for Delete at the end and while read-only.
    bool onKey(int key) override;

private:
    // The x of the text's left edge. A centred text wider than the box is drawn
    // 3 pixels inside the right edge but hit-tested as if it touched the edge.
    int32_t textLeft(bool forHitTest) const;
    int32_t length() const;

    std::string text;
    GuiFont* font = nullptr;
    GuiRect innerRect;
    int align = 0;
    bool readOnly = true;
    bool caretOn = true;
    uint32_t lastBlink = 0;
    int32_t caret = 0;
    bool holdsCaret = false;
};
