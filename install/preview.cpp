// The preview of every screen: start-up without a window, each screen drawn into
// the back buffer and written out as a bitmap file.
#include "preview.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "gui/guipicture.h"
#include "gui/guirenderer.h"
#include "gui/guiwindow.h"
#include "installapp.h"
#include "mediumcatalogue.h"
#include "productidentity.h"
#include "resstringtable.h"

namespace {

constexpr char PREVIEW_SWITCH[] = "/PREVIEW=";
// The fraction the progress screen is shown at: a slide and the bar half way.
constexpr float PREVIEW_PROGRESS = 0.45f;

// Writes the renderer's back buffer (24 bits, rows bottom-up and padded, as a
// device-independent bitmap holds them) as a BMP file.
bool writeBackBuffer(const std::string& path) {
    GuiDibRenderer* renderer = getRenderer();
    const GuiImage& buffer = renderer->getBackBuffer();
    if (!buffer.getPixels()) return false;
    const uint32_t pixelBytes = buffer.getSizeBytes();
    const uint32_t offset = 14 + sizeof(GuiDibHeader);
    unsigned char fileHeader[14] = {'B', 'M'};
    const uint32_t fileSize = offset + pixelBytes;
    std::memcpy(fileHeader + 2, &fileSize, 4);
    std::memcpy(fileHeader + 10, &offset, 4);
    GuiDibHeader header = renderer->getHeader();
    header.sizeImage = pixelBytes;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
                   std::fwrite(&header, 1, sizeof header, file) == sizeof header &&
                   std::fwrite(buffer.getPixels(), 1, pixelBytes, file) == pixelBytes;
    return std::fclose(file) == 0 && written;
}

// Makes a menu screen show one background rather than the one of the tick count.
void useBackground(GuiWindow& screen, const medium::Picture& background) {
    if (!screen.getChildren().empty())
        static_cast<GuiPicture*>(screen.getChildren()[0])->GuiImage::load(background.file, true);
}

}  // namespace

bool previewFolder(const char* commandLine, std::string& folder) {
    if (!commandLine) return false;
    const size_t length = std::strlen(PREVIEW_SWITCH);
    for (const char* at = commandLine; *at; ++at) {
        if (_strnicmp(at, PREVIEW_SWITCH, length) != 0) continue;
        folder = at + length;
        // A quoted folder ends at its closing quotation mark.
        if (!folder.empty() && folder[0] == '"') folder = folder.substr(1, folder.find('"', 1) - 1);
        while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\\')) folder.pop_back();
        return !folder.empty();
    }
    return false;
}

int runPreview(const std::string& folder) {
    // The medium beside setup, as start-up reads it.
    char szPath[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 1;
    const std::string setupPath(szPath, len);
    SetCurrentDirectoryA(setupPath.substr(0, setupPath.rfind('\\')).c_str());
    if (!stringTable.load(medium::STRINGS_FILE)) return 1;
    setProductIdentity(readProductIdentity(stringTable));
    const char* charsetName = stringTable.text("LNG_CHARSET");
    if (*charsetName) charsetFromName(charsetName, fontCharset);
    installApp.setDefaultInstallDir();

    InstallApp& app = installApp;
    GuiWindow* const screens[] = {&app.welcomeScreen, &app.optionsScreen, &app.licenseScreen, &app.installedScreen,
                                  &app.progressScreen};
    for (GuiWindow* screen : screens) registerScreen(screen);
    showScreen(&app.welcomeScreen);
    initGui(nullptr);
    setGuiArea(GuiRect(0, 0, medium::PANEL_WIDTH, medium::PANEL_HEIGHT));
    guiRenderer()->setClip(nullptr);
    useBackground(app.welcomeScreen, medium::BACK_MENU_1);
    useBackground(app.installedScreen, medium::BACK_MENU_2);
    app.progressScreen.start();
    app.progressScreen.showStill(PREVIEW_PROGRESS);

    const struct {
        GuiWindow* screen;
        const char* file;
    } shots[] = {{&app.welcomeScreen, "welcome.bmp"},
                 {&app.licenseScreen, "licence.bmp"},
                 {&app.optionsScreen, "options.bmp"},
                 {&app.progressScreen, "progress.bmp"},
                 {&app.installedScreen, "installed.bmp"}};
    CreateDirectoryA(folder.c_str(), nullptr);
    bool written = true;
    for (const auto& shot : shots) {
        showScreen(shot.screen);
        written = writeBackBuffer(folder + "\\" + shot.file) && written;
    }
    return written ? 0 : 1;
}
