// ProgressScreen: the slide show, bar, title and cancel button of a running installation.
#include "screens/progressscreen.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "gui/guipicture.h"
#include "installapp.h"
#include "mediumcatalogue.h"
#include "resstringtable.h"
#include "screens/screenparts.h"
#include "soundcue.h"

namespace {

static_assert(medium::SLIDE_COUNT == GuiSlideShow::SLIDE_COUNT, "one picture for each slide");

const char* slidePath(int index) { return medium::SLIDES[index].file; }

}  // namespace

bool ProgressScreen::create() {
    if (built) return builtWell;
    built = true;
    const bool pictured = addPicture(medium::BACK_PROGRESS.file);
    appTitle = stringTable.text("STR_APP_TITLE");

    progressBar = new GuiProgressBar;
    progressBar->setRect(28, 324, 344, 23);
    progressBar->create();
    for (int i = 0; i < GuiSlideShow::SLIDE_COUNT; ++i) {
        GuiPicture* slide = new GuiPicture;
        slide->setRect(51, 85, medium::SLIDE_WIDTH, medium::SLIDE_HEIGHT);
        // The first slide is read now; start reads the others when a run begins.
        if (i == 0) slide->load(slidePath(0), false);
        slide->setOpacity(0.0f);
        addChild(slide);
        slideShow.setSlide(i, slide);
    }
    addChild(progressBar);  // over the slides

    caption.load(medium::CAPTION_PROGRESS.file, true);
    cancelButton = addButton(*this, GuiRect(388, 318, 127, 32), medium::HOVER_PROGRESS.file, reactConfirmCancel);
    hoverGroup = addHoverGroup(*this, GuiRect(373, 318, 157, 34), {cancelButton});

    const bool created = GuiScreen::create();
    builtWell = pictured && created;
    return builtWell;
}

void ProgressScreen::start() {
    slideShow.start();
    setProgress(0.0f);
    for (int i = 1; i < GuiSlideShow::SLIDE_COUNT; ++i) {
        GuiPicture* slide = slideShow.getSlide(i);
        if (!slide) continue;
        slide->load(slidePath(i), false);
        slide->setOpacity(0.0f);
    }
}

void ProgressScreen::setProgress(float fraction) {
    progress = fraction;
    refreshTitle();
}

void ProgressScreen::animate() {
    // The worker writes the fraction; this thread only reads it, held to 1.
    float fraction = progress;
    if (fraction > 1.0f) fraction = 1.0f;
    const GuiSlideShow::Step step = slideShow.animate(fraction, GetTickCount());
    if (step.newSlide) cueScrShot.play();
    if (progressBar) progressBar->setProgress(fraction, step.delta);
}

void ProgressScreen::showStill(float fraction) {
    setProgress(fraction);
    const int shown = std::min(static_cast<int>(fraction * GuiSlideShow::SLIDE_COUNT), GuiSlideShow::SLIDE_COUNT - 1);
    for (int i = 0; i < GuiSlideShow::SLIDE_COUNT; ++i)
        if (GuiPicture* slide = slideShow.getSlide(i)) slide->setOpacity(i == shown ? 1.0f : 0.0f);
    if (progressBar) progressBar->setProgress(fraction, 0.0f);
}

bool ProgressScreen::update() {
    animate();
    GuiScreen::update();
    refreshTitle();
    return true;
}

bool ProgressScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, medium::CAPTION_PROGRESS.x, medium::CAPTION_PROGRESS.y);
    return true;
}

void ProgressScreen::refreshTitle() {
    HWND window = installApp.hwnd;
    if (!window) return;
    const std::string title = progressTitle(appTitle, progress, installApp.cancelRequested);
    const size_t hash = std::hash<std::string>{}(title);
    if (shownTitle.exchange(hash) != hash) SetWindowTextA(window, title.c_str());
}
