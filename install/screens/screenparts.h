// The pieces that every screen assembles in the same way: an invisible button
// with its hover picture and its action, the hover group over a row of buttons,
// the caption laid over everything, and the reactors through which the buttons
// run the application's actions.
#pragma once

#include <initializer_list>

#include "gui/guibutton.h"
#include "gui/guihovergroup.h"
#include "gui/guirect.h"
#include "gui/guiwindow.h"
#include "mediumcatalogue.h"

// Adds a button to the screen: its hover picture is read on first use, and
// releasing the left button over it runs the action (the screen's next reactor).
GuiButton* addButton(GuiWindow& screen, const GuiRect& rect, const char* hoverPicture, Reactor action);

// Adds the hover group after the buttons, so that it draws over them.
GuiHoverGroup* addHoverGroup(GuiWindow& screen, const GuiRect& rect, std::initializer_list<GuiWindow*> members);

// The background of the two menu screens: one of two pictures, chosen by the
// parity of the tick count, so each start may show the other one.
const char* menuBackground();

// The hover picture of every menu button.
constexpr const char* MENU_HOVER_PICTURE = medium::HOVER_MENU.file;

// The buttons' reactors: each runs one action of the application object.
int reactShowWelcome(GuiWindow* sender);
int reactShowLicense(GuiWindow* sender);
int reactShowOptions(GuiWindow* sender);
int reactOpenReadme(GuiWindow* sender);
int reactOpenHomepage(GuiWindow* sender);
int reactQuit(GuiWindow* sender);
int reactLaunchGame(GuiWindow* sender);
int reactRunUninstaller(GuiWindow* sender);
int reactStartInstallation(GuiWindow* sender);
int reactBrowseInstallDir(GuiWindow* sender);
int reactConfirmCancel(GuiWindow* sender);

// Draws a screen's caption picture (the button labels) at full opacity.
void drawCaption(GuiImage& caption, int32_t x, int32_t y);
