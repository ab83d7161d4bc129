// GuiWindow: the window tree drawn into the back buffer, reactors, and the GUI
// manager's free functions that the application calls to show screens, route
// input, update and redraw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/guiimage.h"
#include "gui/guirect.h"

class GuiRenderer;
class GuiWindow;

// Mouse event codes, from the Win32 mouse messages.
enum GuiEvent : int {
    GE_MOUSEMOVE = 2,
    GE_LBUTTONDOWN = 3,
    GE_LBUTTONUP = 4,
    GE_RBUTTONDOWN = 5,
    GE_RBUTTONUP = 6,
    GE_MBUTTONDOWN = 7,
    GE_MBUTTONUP = 8,
    GE_LBUTTONDBLCLK = 9,
    GE_RBUTTONDBLCLK = 10,
    GE_MBUTTONDBLCLK = 11,
};

// Runs when a child that registered it handles an event; the result is ignored.
using Reactor = int (*)(GuiWindow* sender);

constexpr uint16_t NO_REACTOR = 0xFFFF;

class GuiWindow {
public:
    GuiWindow() = default;
    GuiWindow(const GuiWindow&) = delete;
    GuiWindow& operator=(const GuiWindow&) = delete;

    // The six operations, in this order; the base passes each on to the children.
    virtual ~GuiWindow();
    virtual bool draw();
    virtual bool onMouse(int event);
    virtual bool create();
    virtual bool update();
    virtual bool onKey(int key);

    // Appends the window to the children; this window now owns it.
    void addChild(GuiWindow* child);
    // Adds a child whose handled events run the given reactor: the reactor is
    // appended to this window's reactors and the child's rID names it.
    void addChild(GuiWindow* child, Reactor reactor);
    // Adds a picture child that shows the TGA file at path, read on its first
    // draw, at (0, 0) of the panel. Screens call it first in their create, so
    // that the background is drawn under everything else. True unless the
    // picture cannot be set up (a missing file shows as an empty picture).
    bool addPicture(const std::string& path);

    void setRect(const GuiRect& r) { rect = r; }
    void setRect(int32_t x, int32_t y, int32_t w, int32_t h) { rect = GuiRect(x, y, w, h); }
    const GuiRect& getRect() const { return rect; }
    bool hitTest(int32_t x, int32_t y) const { return rect.contains(x, y); }

    bool hasReactor() const { return rID != NO_REACTOR; }
    uint16_t getReactorId() const { return rID; }
    void setReactorId(uint16_t id) { rID = id; }

    bool isVisible() const { return visible; }
    void setVisible(bool v) { visible = v; }

    GuiImage& getImage() { return image; }
    GuiWindow* getParent() const { return parent; }
    const std::vector<GuiWindow*>& getChildren() const { return children; }

protected:
    void runReactor(GuiWindow* sender);

    GuiWindow* parent = nullptr;
    std::vector<GuiWindow*> children;
    uint16_t rID = NO_REACTOR;
    bool visible = true;
    GuiRect rect;
    std::vector<Reactor> reactors;
    // Owned; never drawn by the base class: screens and widgets use it
    // (a button's hover picture, for example).
    GuiImage image;
};

// The GUI manager: the registered screens (not owned), the current screen, the
// panel's place in the window, the mouse point and the bound renderer. All of it
// belongs to the main thread.

// Adds a screen to the list and hides it.
void registerScreen(GuiWindow* screen);
// Hides the current screen, shows this one and redraws.
void showScreen(GuiWindow* screen);
GuiWindow* currentScreen();
// Binds the renderer to the window, resets its clip and creates every registered
// screen in order. Called once, after the first showScreen.
void initGui(void* window);
// Places the panel in the window (window coordinates) and resizes the back buffer.
void setGuiArea(const GuiRect& area);
const GuiRect& getGuiArea();
// Takes the client coordinates of a mouse message; stores them relative to the panel.
void setMousePos(int32_t x, int32_t y);
// The last mouse point, in panel coordinates.
void getMousePos(int32_t& x, int32_t& y);
// Gives a mouse event code (GE_...) or a one-byte key code to the current screen.
void dispatchMouse(int event);
void dispatchKey(int key);
// Draws every visible screen, then presents the back buffer.
void redrawAll();
// The same for a window that lost what it showed (WM_PAINT): presented even
// when nothing changed.
void repaintAll();
// Updates every visible screen (animations).
void updateAll();
// The renderer bound by initGui, or null before it.
GuiRenderer* guiRenderer();
