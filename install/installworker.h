// The installation worker: measures and extracts the packages on its own thread,
// rolls back on cancel or error, then finishes the installation.
//
// Packages, read from the current directory (setup's folder): the main package
// named by PATH_SOURCE, then "data0.pak" to "data127.pak", each probed on its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "unrarbinding.h"

// The thread procedure started by the installation; its parameter is unused.
DWORD WINAPI installWorker(LPVOID);

// Total unpacked size of one package in bytes; 0 when it cannot be opened.
int64_t measurePackage(const char* packagePath);

// Extracts one package below the folder. False when the package cannot be opened
// or an entry fails; a cancel returns true.
bool extractPackage(const char* packagePath, const wchar_t* folder);

// The installation folder as the library takes it: wide text from the ANSI code
// page, the one in which the log, the rollback and the uninstaller name it.
std::wstring ansiToWide(const std::string& ansi);

// The library's data callback: waits while the cancel question is open, stops
// on cancel, otherwise counts the block and feeds the progress screen.
int CALLBACK onUnpackedData(unsigned char* address, int size);

// Removes every logged entry as the uninstaller would (the shortcuts that
// finishing made too), then the installation folder when it is empty.
void rollbackInstallation();

// True for an entry name that stays below the installation folder: relative, with
// no drive, no stream and no ".." component. Others are never logged, so neither
// the rollback nor the uninstaller ever deletes outside the folder.
bool isSafeEntryName(const char* name);

// The step the worker hands over to at its end, on its own thread: finishing the
// installation. The worker tests put a recorder here, because finishing ends the
// process after a completed installation.
extern void (*finishStep)();

// Worker state. The counters are 64-bit so that more than 2 GiB of game data
// still gives a true fraction.
extern int64_t packagesTotal;
extern int64_t bytesDone;
extern float progressFraction;
