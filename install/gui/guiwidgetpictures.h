// The picture files that the toolkit's own widgets draw. The medium provides
// them beside the screens' pictures; the medium catalogue (mediumcatalogue.h)
// lists them with their sizes and the screens that show them.
#pragma once

namespace guipictures {

constexpr const char* CHECK_TICK = "Media\\text_icon_on.tga";
constexpr const char* EDIT_CARET = "Media\\edit_cursor.tga";
constexpr const char* SCROLL_ARROW_UP = "Media\\scroll_arrow_top.tga";
constexpr const char* SCROLL_ARROW_DOWN = "Media\\scroll_arrow_bottom.tga";
constexpr const char* SLIDER_TOP = "Media\\scroll_slider_top.tga";
constexpr const char* SLIDER_BOTTOM = "Media\\scroll_slider_bottom.tga";
constexpr const char* SLIDER_MIDDLE = "Media\\scroller.tga";
constexpr const char* PROGRESS_BAR = "Media\\progress_bar.tga";

}  // namespace guipictures
