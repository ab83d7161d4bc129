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

// The same for people, as `mkmedium --help` ends: every picture with its size
// and screen, every cue, every key with its meaning, the character-set names.
std::string catalogueHelp();
