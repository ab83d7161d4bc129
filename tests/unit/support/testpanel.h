// A panel for widget tests: the process-wide renderer bound to a fake window with
// a 550 x 400 back buffer at 0, 0, so panel and back-buffer coordinates agree,
// and helpers to read its pixels and to point and click.
#pragma once

#include <cstdint>

#include "gui/guirect.h"

class GuiWindow;

// Binds the renderer (once per program) and clears the back buffer to black.
void bindTestPanel();
// The back-buffer pixel at (x, y), top-down, as 0xRRGGBB.
uint32_t panelPixel(int32_t x, int32_t y);
// Whether any pixel of the rectangle is not black.
bool panelInked(const GuiRect& area);
// Moves the mouse to (x, y) of the panel and gives the event to the current screen.
void mouseAt(int32_t x, int32_t y, int event);

// How often countRun ran: a reactor for tests that only count.
extern int reactorRuns;
int countRun(GuiWindow* sender);
