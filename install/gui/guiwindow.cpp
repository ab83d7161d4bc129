// The window tree, reactors and the GUI manager.
#include "gui/guiwindow.h"

#include <cassert>

#include "gui/guipicture.h"
#include "gui/guirenderer.h"

GuiWindow::~GuiWindow() {
    for (GuiWindow* child : children) delete child;
}

bool GuiWindow::draw() {
    for (GuiWindow* child : children)
        if (child->visible) child->draw();
    return true;
}

bool GuiWindow::onMouse(int event) {
    int32_t mx, my;
    getMousePos(mx, my);
    bool handled = false;
    // Every child under the point gets the event, also after an earlier one handled
    // it: a button and the hover group around it both see the same click.
    for (GuiWindow* child : children) {
        if (!child->rect.contains(mx, my)) continue;
        bool c = child->onMouse(event);
        if (c && child->hasReactor()) runReactor(child);
        handled = handled || c;
    }
    return handled;
}

bool GuiWindow::create() {
    bool ok = false;
    for (GuiWindow* child : children) ok = child->create() || ok;
    return ok;
}

bool GuiWindow::update() {
    bool any = false;
    for (GuiWindow* child : children) any = child->update() || any;
    return any;
}

bool GuiWindow::onKey(int key) {
    bool handled = false;
    for (GuiWindow* child : children) {
        if (child->onKey(key) && child->hasReactor()) {
            runReactor(child);
            handled = true;
        }
    }
    return handled;
}

void GuiWindow::addChild(GuiWindow* child) {
    children.push_back(child);
    child->parent = this;
}

void GuiWindow::addChild(GuiWindow* child, Reactor reactor) {
    addChild(child);
    reactors.push_back(reactor);
    child->rID = static_cast<uint16_t>(reactors.size() - 1);
}

bool GuiWindow::addPicture(const std::string& path) {
    GuiPicture* picture = new GuiPicture;
    if (!picture->load(path, true)) {
        delete picture;
        return false;
    }
    addChild(picture);
    return true;
}

void GuiWindow::runReactor(GuiWindow* sender) {
    assert(sender->rID < reactors.size() && "guiwindow");
    if (sender->rID < reactors.size()) reactors[sender->rID](sender);
}

// --- GUI manager ---------------------------------------------------------

namespace {
GuiRenderer* boundRenderer = nullptr;
std::vector<GuiWindow*> screens;
GuiWindow* current = nullptr;
GuiRect panel;
int32_t mouseX = 0;
int32_t mouseY = 0;
}  // namespace

GuiRenderer* guiRenderer() { return boundRenderer; }

void registerScreen(GuiWindow* screen) {
    screens.push_back(screen);
    screen->setVisible(false);
}

void showScreen(GuiWindow* screen) {
    if (current) current->setVisible(false);
    current = screen;
    current->setVisible(true);
    redrawAll();
}

GuiWindow* currentScreen() { return current; }

void initGui(void* window) {
    boundRenderer = getRenderer();
    if (boundRenderer) {
        boundRenderer->init(window);
        boundRenderer->setClip(nullptr);
    }
    for (GuiWindow* screen : screens) screen->create();
}

void setGuiArea(const GuiRect& area) {
    panel = area;
    if (boundRenderer) boundRenderer->setArea(area);
}

const GuiRect& getGuiArea() { return panel; }

void setMousePos(int32_t x, int32_t y) {
    mouseX = x - panel.x;
    mouseY = y - panel.y;
}

void getMousePos(int32_t& x, int32_t& y) {
    x = mouseX;
    y = mouseY;
}

void dispatchMouse(int event) {
    if (current) current->onMouse(event);
}

void dispatchKey(int key) {
    if (current) current->onKey(static_cast<unsigned char>(key));
}

void redrawAll() {
    for (GuiWindow* screen : screens)
        if (screen->isVisible()) screen->draw();
    if (boundRenderer) boundRenderer->present();
}

void repaintAll() {
    if (boundRenderer) boundRenderer->forgetPresented();
    redrawAll();
}

void updateAll() {
    for (GuiWindow* screen : screens)
        if (screen->isVisible()) screen->update();
}
