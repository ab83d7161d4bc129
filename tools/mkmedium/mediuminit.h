// `mkmedium init`: a complete medium template that passes the check: every text
// with a comment on what it is, placeholder pictures at the sizes the screens
// need (as PNG, which mkmedium converts), short silent sound cues, a licence and
// a readme.
#pragma once

#include <filesystem>
#include <string>

// Writes the template into `folder`, which must be new or empty; false with
// `error` set when it cannot.
bool writeMediumTemplate(const std::filesystem::path& folder, std::string& error);

// A short silent MP3 (MPEG-1 Layer III frames at 44.1 kHz that decode to silence).
std::string silentMp3(int frames);
