// Removing what install.log lists: setup's rollback and the uninstaller walk the
// same entries by the same rules (planRemoval in installlog.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "installlog.h"

// The places of an installation in `installDir`, with the shell folders read as
// setup reads them when it makes the shortcuts.
InstallPlaces installPlaces(const std::string& installDir);

// Removes the entries from the last to the first, twice, so that the folders the
// first pass emptied go in the second; each entry as planRemoval says, a file
// even when it is read-only (the packages may carry that flag). Failures are
// ignored: a file in use or a folder that still holds files stays. Returns how
// many entries were skipped as unsafe or as lying outside the places.
size_t removeLoggedEntries(const std::vector<std::string>& entries, const InstallPlaces& places);
