// The check of a medium's two documents: the licence and the readme.
#pragma once

#include "tools/mkmedium/mediumreport.h"

#include <filesystem>

// Checks that the licence and the readme of the medium folder hold a text.
void checkDocuments(const std::filesystem::path& mediumFolder, MediumReport& report);
