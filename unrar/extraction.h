// Processing the entry whose header was read last: skip, test or extract it.
#pragma once

#include "unrar/archivehandle.h"

// RARProcessFile for both name forms: `destPath` is the folder below which the entry
// goes under its own path, `destName` (when not empty) the full name to write instead.
int processFile(void* handle, int operation, const PathString& destPath, const PathString& destName);
