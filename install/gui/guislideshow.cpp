// The progress screen's slide show and window title.
#include "gui/guislideshow.h"

#include <cstdio>

#include "gui/guipicture.h"

void GuiSlideShow::start() {
    slideIndex = 0;
    crossFading = false;
    fadingOut = fadingIn = slides[0];
    if (slides[0]) slides[0]->setOpacity(1.0f);
}

GuiSlideShow::Step GuiSlideShow::animate(float fraction, uint32_t now) {
    Step step;
    const float tenths = fraction * 10.0f;
    step.delta = tenths - static_cast<float>(slideIndex);
    if (step.delta >= 1.0f) {
        // The new index comes from the same product that found the next tenth:
        // a fraction just below a tenth whose product rounds up to it would
        // otherwise keep the old index and restart the fade and the cue on
        // every step.
        slideIndex = static_cast<int32_t>(tenths);
        fadeTick = now;
        if (slideIndex < SLIDE_COUNT) {
            fadingOut = fadingIn;
            fadingIn = slides[slideIndex];
            crossFading = true;
            step.newSlide = true;
        } else {
            fadingIn = fadingOut = slides[SLIDE_COUNT - 1];
            crossFading = false;
        }
        // A slide that arrives at the very end is shown at once.
        if (fraction > 0.99f) crossFading = false;
    }

    float fadeIn = 1.0f;
    if (crossFading) {
        const float elapsed = static_cast<float>(now - fadeTick) / static_cast<float>(FADE_MS);
        if (elapsed > 1.0f)
            crossFading = false;
        else
            fadeIn = elapsed;
    }
    // The fading-in slide is set last: when both are the same slide it ends at full opacity.
    if (fadingOut) fadingOut->setOpacity(1.0f - fadeIn);
    if (fadingIn) fadingIn->setOpacity(fadeIn);
    return step;
}

std::string progressTitle(const std::string& appTitle, float fraction, bool cancelled) {
    if (fraction >= 1.0f || cancelled) return appTitle;
    float percent = static_cast<float>(static_cast<double>(fraction) * 98.9 + 1.1);
    if (percent > 100.0f) percent = 100.0f;
    char szPercent[64];
    std::snprintf(szPercent, sizeof szPercent, "%3.1f %c", static_cast<double>(percent), '%');
    return appTitle.substr(0, PROGRESS_APP_TITLE_MAX) + " - " + szPercent;
}
