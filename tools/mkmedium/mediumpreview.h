// `mkmedium preview`: every screen of a medium as setup draws it. setup.exe runs
// with /PREVIEW (under Wine on Linux) on the prepared medium and writes one
// bitmap per screen; they become PNG files beside a contact sheet of all five.
#pragma once

#include "tools/mkmedium/pictureinput.h"

#include <filesystem>
#include <string>
#include <vector>

// The screens in the order setup's preview writes them and the sheet shows them.
extern const char* const PreviewScreens[5];

// Reads a 24-bit bottom-up BMP file as setup's preview writes it; false when the
// bytes are no such file.
bool readPreviewBitmap(const std::string& bytes, Pixels& pixels);

// Lays the pictures out two to a row with a gap between them.
Pixels contactSheet(const std::vector<Pixels>& screens);

// Runs setup.exe's preview of the medium in `mediumFolder` (a medium setup can
// read, with setup.exe in it) into `outFolder`, then writes the PNG files and
// "contact-sheet.png" there. False with `error` set when it cannot.
bool previewMedium(const std::filesystem::path& mediumFolder, const std::filesystem::path& outFolder,
                   std::string& error);
