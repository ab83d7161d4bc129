// The installation worker: measures and extracts the packages on its own thread,
// rolls back on cancel or error, then finishes the installation.
#pragma once

#include <windows.h>

// The thread procedure started by the installation; its parameter is unused.
DWORD WINAPI installWorker(LPVOID);

// Loads "unrar.dll" by name and looks up the functions the worker uses.
void loadUnrarLibrary();
