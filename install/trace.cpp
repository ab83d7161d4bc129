// The debug-output trace of failures that the programs go on after.
#include "trace.h"

#include <windows.h>

#include <cstdio>

void traceFailure(const char* what, const char* subject, unsigned long code) {
    char szModule[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szModule, MAX_PATH);
    const char* program = szModule;
    for (const char* c = szModule; *c; ++c)
        if (*c == '\\' || *c == '/') program = c + 1;
    char szLine[1024];
    if (code)
        std::snprintf(szLine, sizeof szLine, "%s: %s %s failed (error %lu)\n", program, what, subject ? subject : "",
                      code);
    else
        std::snprintf(szLine, sizeof szLine, "%s: %s %s failed\n", program, what, subject ? subject : "");
    OutputDebugStringA(szLine);
}
