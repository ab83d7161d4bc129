// Entry point of setup.exe: the resumed run's early exit or the command line,
// then start-up and the loop.
#include <cstdio>
#include <cstring>
#include <string>

#include "installapp.h"
#include "preview.h"

namespace {

// True when every additional installer recorded in "addinstf.bin" was handled;
// a short file counts its missing bytes as not handled. -1 when the file cannot
// be opened.
int allAdditionalInstallsHandled(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    int ones = 0;
    for (int i = 0; i < 16; ++i)
        if (std::fgetc(file) == 1) ++ones;
    std::fclose(file);
    return ones == 16 ? 1 : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    std::string previewInto;
    if (previewFolder(lpCmdLine, previewInto)) return runPreview(previewInto);
    installApp.additionalMode = lpCmdLine && std::strstr(lpCmdLine, "-AdditionalInstall") != nullptr;
    if (installApp.additionalMode) {
        readIdentityBesideSetup();
        const char* dir = installApp.registeredInstallDir();
        if (!dir) return 1;
        int handled = allAdditionalInstallsHandled(std::string(dir) + "\\addinstf.bin");
        if (handled < 0) return 1;
        if (handled == 1) return 0;
    } else {
        int exitCode = 0;
        if (installApp.runCommandLine(hInstance, lpCmdLine ? lpCmdLine : "", exitCode)) return exitCode;
    }
    if (!installApp.start(hInstance)) return 1;
    return installApp.messageLoop() ? 0 : 1;
}
