// GuiRenderer: the single drawing target of the interface. It owns the back
// buffer, the clip rectangle and the buffer's place in the window.
#pragma once

#include "guirect.h"

class GuiRenderer {
public:
    virtual ~GuiRenderer() = default;
    // Binds the renderer to the main window (an HWND on Windows).
    virtual bool init(void* window) = 0;
    // A null clip means the whole back buffer.
    virtual void setClip(const GuiRect* clip) = 0;
    virtual void present() = 0;
    virtual void setArea(const GuiRect& area) = 0;
};

// The process-wide renderer; it lives for the whole run.
GuiRenderer* getRenderer();
