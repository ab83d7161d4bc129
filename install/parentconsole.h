// The console of the program that started setup or uninstall, when there is one.
// Both are window programs without a console of their own; a script that starts
// them from a console window still sees their progress and results there.
#pragma once

#include <windows.h>

#include <string>

class ParentConsole {
public:
    ParentConsole() = default;
    ParentConsole(const ParentConsole&) = delete;
    ParentConsole& operator=(const ParentConsole&) = delete;
    ~ParentConsole();

    // Finds where to write: a file or pipe that the parent handed over as standard
    // output, otherwise the parent's console window. Without either, every line
    // is dropped.
    void attach();
    bool attached() const { return output != INVALID_HANDLE_VALUE; }

    // Writes one line of ANSI text. A console window shows it in its own code
    // page, so letters beyond ASCII reach it as the same letters.
    void writeLine(const std::string& text);

private:
    HANDLE output = INVALID_HANDLE_VALUE;
    bool isConsoleWindow = false;
    bool ownsHandle = false;
};
