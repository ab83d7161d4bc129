// The catalogue of medium facts as text: `mkmedium --list` prints it for
// scripts, one fact a line, its fields separated by tabs:
//   panel    WIDTH HEIGHT
//   picture  FILE WIDTH HEIGHT DEPTH SCREENS USE   (sizes "any", depth "32" or "24/32")
//   sound    FILE loop|once USE
//   key      NAME required|optional PROGRAMS MEANING
//   charset  NAME NUMBER
//   registry KEY
// Files are named relative to the medium folder with '/'.
#pragma once

#include <string>

std::string catalogueListing();
