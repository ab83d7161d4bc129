// setup.exe /PREVIEW=<folder>: draws each of the five screens with the medium's
// own pictures and texts, by the real renderer, into "<screen>.bmp" files in
// that folder, and installs nothing. The welcome screen shows the first of the
// two menu backgrounds, the installed screen the second, the progress screen a
// run at 45 %.
#pragma once

#include <string>

// The folder of a "/PREVIEW=<folder>" command line (case-insensitive), or false
// when the command line asks for none.
bool previewFolder(const char* commandLine, std::string& folder);

// Draws the screens into the folder; the process's exit code: 0 when every
// picture was written, 1 when the string table or a file could not be used.
int runPreview(const std::string& folder);
