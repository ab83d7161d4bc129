// Entry names and link targets from an archive, checked before anything touches the disk:
// an entry must stay below the destination folder whatever its name says.
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
using PathString = std::wstring;
#define PATH_TEXT(s) L##s
#else
using PathString = std::string;
#define PATH_TEXT(s) s
#endif

// Splits an entry name at '/' and '\' into its folder and file components, dropping
// empty and "." components. Refuses (false) names that are absolute, start with a
// drive letter, contain a ".." component, or (on Windows) a ':' anywhere, and names
// with no component left.
bool splitEntryPath(const PathString& name, std::vector<PathString>& components);

// A symbolic link's target is acceptable when, resolved from the link's own folder
// (`linkDepth` components below the destination), it stays inside the destination:
// relative, no drive, and ".." only as leading components, at most `linkDepth` of them.
bool linkTargetStaysInside(const PathString& target, size_t linkDepth);

// Joins the destination folder and the components with the platform's separator.
PathString joinPath(const PathString& folder, const std::vector<PathString>& components, size_t count);
