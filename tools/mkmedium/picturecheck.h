// The check of a medium's pictures: presence, format and size of each.
#pragma once

#include "tools/mkmedium/mediumreport.h"

#include <filesystem>

// Checks every picture in `mediaFolder` for presence, format and size.
void checkPictures(const std::filesystem::path& mediaFolder, MediumReport& report);
