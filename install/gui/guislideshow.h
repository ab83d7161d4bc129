// GuiSlideShow: the progress screen's ten slides, which advance with the
// installation fraction and cross-fade from one to the next, and the window
// title that shows the percentage beside them. Nothing here touches a window,
// so the choice of slide and the title are the same on every platform.
#pragma once

#include <cstdint>
#include <string>

class GuiPicture;

class GuiSlideShow {
public:
    static constexpr int SLIDE_COUNT = 10;
    static constexpr uint32_t FADE_MS = 6000;

    // The slides in order; not owned (they are children of the screen).
    void setSlide(int index, GuiPicture* slide) { slides[index] = slide; }
    GuiPicture* getSlide(int index) const { return slides[index]; }

    // Back to the first slide, shown at full opacity, before a run.
    void start();

    // What one animation step found.
    struct Step {
        // The fraction times ten minus the slide index before the step.
        float delta = 0.0f;
        // A new slide began to fade in: the caller plays its cue.
        bool newSlide = false;
    };
    // Advances to the slide of the fraction (0..1) and sets the opacities of the
    // fading-out and fading-in slides for the tick count now (milliseconds).
    Step animate(float fraction, uint32_t now);

    int32_t getSlideIndex() const { return slideIndex; }
    GuiPicture* getFadingOut() const { return fadingOut; }
    GuiPicture* getFadingIn() const { return fadingIn; }
    bool isCrossFading() const { return crossFading; }

private:
    GuiPicture* slides[SLIDE_COUNT] = {};
    GuiPicture* fadingOut = nullptr;
    GuiPicture* fadingIn = nullptr;
    uint32_t fadeTick = 0;
    int32_t slideIndex = 0;
    bool crossFading = false;
};

// The longest application title shown beside the percentage. The composed title
// keeps to 128 bytes: this title, " - ", the longest percentage "100.0 %" and a
// terminator.
constexpr size_t PROGRESS_APP_TITLE_MAX = 117;

// The main window's title for the fraction: "<title> - <percent> %", where the
// percentage is the fraction x 98.9 + 1.1 with one decimal, at most 100.0; the
// application title alone once the fraction is complete or the run is cancelled.
// A title longer than PROGRESS_APP_TITLE_MAX characters is cut to that length
// in the composed form, so the percentage always shows.
std::string progressTitle(const std::string& appTitle, float fraction, bool cancelled);
