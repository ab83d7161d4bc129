// GuiSharedPicture: one picture that every widget of a class draws (the check
// box's tick, the edit box's caret, the slider's pieces). The first widget that
// needs it loads it and the last one destroyed frees it, so destroying one widget
// never takes the picture away from another that still draws it.
//
// Instances are process-wide objects with a constant initialiser and nothing to
// destroy, so widgets in other global objects may release them at any point of
// the program's end.
#pragma once

#include "gui/guiimage.h"

class GuiSharedPicture {
public:
    constexpr explicit GuiSharedPicture(const char* path) : path(path) {}
    GuiSharedPicture(const GuiSharedPicture&) = delete;
    GuiSharedPicture& operator=(const GuiSharedPicture&) = delete;

    // Takes one reference. The first makes the picture: deferred, it is read on its
    // first draw; otherwise at once. A missing file leaves an empty picture.
    void acquire(bool deferred);
    // Drops one reference; the last frees the picture.
    void release();
    // The picture, or null while no widget holds it.
    GuiImage* get() const { return image; }
    int getUsers() const { return users; }

private:
    const char* path;
    int users = 0;
    GuiImage* image = nullptr;
};
