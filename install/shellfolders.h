// Registry strings and the user's shell folders, read the same way by setup and
// by the uninstaller, so that both find the shortcuts in the same places.
#pragma once

#include <windows.h>

#include <string>

// Reads a string value into buf; false when the key or value cannot be read,
// including a value that does not fit (it is never cut into a wrong path).
bool readRegistryString(HKEY root, const char* subKey, const char* name, char* buf, DWORD size);

// A shell folder from a registry value of at most `bufferSize` bytes; when the
// value is missing or unreadable the shell's own folder query (`csidl`) answers
// instead, and failing that the result is empty.
std::string shellFolder(HKEY root, const char* subKey, const char* name, DWORD bufferSize, int csidl);

// The user's desktop folder and Start-menu "Programs" folder, where setup makes
// the shortcuts and the program group.
std::string userDesktopFolder();
std::string userProgramsFolder();
