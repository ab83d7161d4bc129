// ProgressScreen: shown while the installation runs: a slide show that
// advances with the installation fraction, the progress bar, the percentage in
// the main window's title, and cancel. The worker reports the fraction through
// setProgress on its own thread; everything else runs on the main thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "gui/guibutton.h"
#include "gui/guihovergroup.h"
#include "gui/guiimage.h"
#include "gui/guiprogressbar.h"
#include "gui/guiscreen.h"
#include "gui/guislideshow.h"

class ProgressScreen : public GuiScreen {
public:
    bool draw() override;
    // Builds the children once: a resumed run creates this screen before the
    // GUI creates every screen, and the second call keeps the first children.
    bool create() override;
    // Animates the slides and the bar, then shows the percentage in the title.
    bool update() override;

    // Resets the screen before a run: the first slide, fraction 0, and the
    // other slides read from disk.
    void start();
    // Stores the fraction and refreshes the title. Called on the worker thread
    // after every block of data; touches neither the window tree nor the back buffer.
    void setProgress(float fraction);
    float getProgress() const { return progress; }
    // Moves the slide show and the bar to the current fraction.
    void animate();
    // Shows the screen as it stands at a fraction, without the fading: the slide
    // of that fraction alone and the bar (for the preview of the screens).
    void showStill(float fraction);

    int32_t getSlideIndex() const { return slideShow.getSlideIndex(); }
    GuiPicture* getSlide(int index) const { return slideShow.getSlide(index); }

private:
    // Sets the main window's title for the fraction, when it differs from the last one set.
    void refreshTitle();

    GuiSlideShow slideShow;
    GuiProgressBar* progressBar = nullptr;
    GuiHoverGroup* hoverGroup = nullptr;
    GuiButton* cancelButton = nullptr;
    std::string appTitle;
    std::atomic<float> progress{0.0f};
    GuiImage caption;
    bool built = false;
    bool builtWell = false;
    // A hash of the title last set on the window: both threads refresh it, and
    // only a change is worth a message to the window's thread.
    std::atomic<size_t> shownTitle{0};
};
