// The files of a multi-volume archive, found by their names beside the first one.
#pragma once

#include <string>
#include <vector>

// True when `name` is an existing regular file.
bool fileExists(const std::string& name);

// The names of the volumes that follow `first` and exist: "name.part1.rar",
// "name.part2.rar", ... (keeping the digit count), or "name.rar", "name.r00",
// "name.r01", ... "name.r99", "name.s00", ...; `first` itself comes first. A
// self-extracting first volume ("name.part1.exe", "name.exe") is followed the same way
// by plain ones.
std::vector<std::string> findVolumes(const std::string& first);
