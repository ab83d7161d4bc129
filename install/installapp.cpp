// InstallApp: start-up, the message loop, the window procedure, the message
// boxes and the screens' small actions.
//
//   globals and construction
//   start-up
//   message loop
//   window procedure and background painting
//   message boxes
//   actions
#include "installapp.h"

#include <chrono>
#include <cstring>
#include <iterator>

#include "gui/guiframepacer.h"
#include "gui/guiwindow.h"
#include "gui/win32/win32hooks.h"
#include "mediumcatalogue.h"
#include "productidentity.h"
#include "resstringtable.h"
#include "soundcue.h"
#include "trace.h"

// --- globals and construction --------------------------------------------

InstallApp installApp;

namespace {

// The GUI's event code of a mouse message from WM_MOUSEMOVE to WM_MBUTTONDBLCLK.
int mouseEventCode(UINT msg) {
    switch (msg) {
    case WM_MOUSEMOVE:
        return GE_MOUSEMOVE;
    case WM_LBUTTONDOWN:
        return GE_LBUTTONDOWN;
    case WM_LBUTTONUP:
        return GE_LBUTTONUP;
    case WM_RBUTTONDOWN:
        return GE_RBUTTONDOWN;
    case WM_RBUTTONUP:
        return GE_RBUTTONUP;
    case WM_MBUTTONDOWN:
        return GE_MBUTTONDOWN;
    case WM_MBUTTONUP:
        return GE_MBUTTONUP;
    case WM_LBUTTONDBLCLK:
        return GE_LBUTTONDBLCLK;
    case WM_RBUTTONDBLCLK:
        return GE_RBUTTONDBLCLK;
    default:
        return GE_MBUTTONDBLCLK;
    }
}

}  // namespace

bool charsetFromName(const char* name, int& charset) {
    const medium::Charset* known = medium::findCharset(name);
    if (known) charset = known->number;
    return known != nullptr;
}

void readIdentityBesideSetup() {
    char szPath[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return;
    std::string strings(szPath, len);
    strings = strings.substr(0, strings.rfind('\\') + 1) + medium::STRINGS_FILE;
    // Start-up loads the table again; the identity keeps copies of its texts.
    if (stringTable.load(strings.c_str())) setProductIdentity(readProductIdentity(stringTable));
}

int windowsMajorVersion() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version record is 156 bytes");
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return 0;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4)
        return static_cast<int>(info.dwMajorVersion);
    return 0;
}

InstallApp::InstallApp() {
    // The toolkit asks the application for the key state (the edit box keeps its
    // caret lit while a key is held) and for the click cue: the Ok cue, restarted
    // so that a quick second click is heard again.
    win32hooks::setKeyHeldHook([] { return installApp.keyDown.load(); });
    win32hooks::setClickCueHook([] {
        cueOk.stop();
        cueOk.play();
    });
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screenRect, 0);
    panelRect = GuiRect(0, 0, medium::PANEL_WIDTH, medium::PANEL_HEIGHT);
    panelRect.centreIn(GuiRect(screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                               screenRect.bottom - screenRect.top));
}

// --- start-up ------------------------------------------------------------

bool InstallApp::startCommon(HINSTANCE hInst) {
    hInstance = hInst;
    sessionEnding = false;

    char szPath[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    // A path that did not fit is cut by the system; treat it like a bad folder
    // rather than running from a wrong one.
    if (len == 0 || len >= MAX_PATH) szPath[0] = '\0';
    setupPath = szPath;

    std::string folder = setupPath;
    size_t slash = folder.rfind('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    SetCurrentDirectoryA(folder.c_str());
    if (folder.size() < 2 || folder[1] != ':') {
        report.fail(SetupExit::NotStarted);
        showBox("Installation error\nBad install path", MB_OK, "Install");
        return false;
    }
    sourceDrive = folder.substr(0, 2);

    if (!stringTable.load(medium::STRINGS_FILE)) {
        errorBox(SetupExit::BadMedium, "Cannot load string table. Application will terminate.");
        return false;
    }
    setProductIdentity(readProductIdentity(stringTable));

    if (windowsMajorVersion() < 5) {
        std::string question =
            std::string(stringTable.text("MSG_WRONG_SYSTEM")) + "\n" + stringTable.text("MSG_WRONG_SYSTEM1");
        if (!askYesNo(question.c_str())) {
            report.result(SetupExit::NotStarted, "");
            ExitProcess(1);
        }
    }

    const char* charsetName = stringTable.text("LNG_CHARSET");
    if (*charsetName) charsetFromName(charsetName, fontCharset);
    return true;
}

bool InstallApp::start(HINSTANCE hInst) {
    if (!startCommon(hInst)) return false;
    // Only an unattended run refuses to start beside another setup; this one
    // holds the mark so that an unattended run started meanwhile refuses.
    claimSetupInstance();

    // A cue that cannot be loaded stays silent; only the debug output says so.
    SoundCue* const cues[] = {&cueBack, &cueOk, &cueError, &cuePresent, &cueScrShot};
    static_assert(std::size(cues) == std::size(medium::CUES), "one sound cue for each cue file");
    for (size_t i = 0; i < std::size(cues); ++i)
        if (!cues[i]->load(medium::CUES[i]->file, medium::CUES[i]->loop))
            traceFailure("loading the sound", medium::CUES[i]->file, 0);

    char szTemp[MAX_PATH + 8];
    UINT winLen = GetWindowsDirectoryA(szTemp, MAX_PATH);
    if (winLen > 0 && winLen < MAX_PATH) {
        std::strcat(szTemp, "\\Temp");
        CreateDirectoryA(szTemp, nullptr);
    }

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(105));
    wc.hIconSm = LoadIconA(hInstance, MAKEINTRESOURCEA(106));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) {
        errorBox("Cannot register window class: %s", className);
        return false;
    }

    const char* title = stringTable.text("STR_APP_TITLE");
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, className, title, WS_POPUP | WS_MAXIMIZE, screenRect.left,
                                  screenRect.top, screenRect.right - screenRect.left,
                                  screenRect.bottom - screenRect.top, nullptr, nullptr, hInstance, nullptr);
    if (!window) {
        errorBox("Could not create window");
        return false;
    }
    hwnd = window;
    SetWindowTextA(hwnd, title);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    windowActive = true;
    CoInitialize(nullptr);

    setDefaultInstallDir();
    if (!options.installDir.empty()) installDir = options.installDir;
    homepageUrl = stringTable.text("URL_HOMEPAGE");

    registerScreen(&welcomeScreen);
    registerScreen(&optionsScreen);
    registerScreen(&licenseScreen);
    registerScreen(&installedScreen);
    registerScreen(&progressScreen);

    if (additionalMode) {
        progressScreen.create();
        progressScreen.start();
        showScreen(&progressScreen);
    } else if (isInstalled()) {
        showScreen(&installedScreen);
    } else {
        showScreen(&welcomeScreen);
    }

    initGui(hwnd);

    panelRect = GuiRect(0, 0, medium::PANEL_WIDTH, medium::PANEL_HEIGHT);
    panelRect.x = screenRect.left + (screenRect.right - screenRect.left - medium::PANEL_WIDTH) / 2;
    panelRect.y = screenRect.top + (screenRect.bottom - screenRect.top - medium::PANEL_HEIGHT) / 2;
    setGuiArea(panelRect);
    redrawAll();
    updateAll();

    cueBack.play();
    extractionDone = false;

    if (additionalMode) {
        extractionDone = true;
        cancelRequested = false;
        finishInstallation();
    }
    return true;
}

// --- message loop --------------------------------------------------------

namespace {

int64_t steadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Returns when a message arrives (any kind, also one sent from the worker
// thread) or after `timeoutMs`.
void waitForMessages(DWORD timeoutMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

bool InstallApp::messageLoop() {
    // Messages first, each as soon as it comes. While the window is active a
    // frame is drawn when one is due, about 60 a second, and in between the loop
    // waits for messages; while it is inactive or minimised nothing on screen
    // changes, so it waits for messages alone. The animations follow the tick
    // count and look as they would at any rate; the processor stays free for the
    // extraction worker and the player's other programs.
    GuiFramePacer pacer;
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!windowActive) {
            waitForMessages(INFINITE);
            pacer.restart(steadyMicroseconds());
            continue;
        }
        const int64_t now = steadyMicroseconds();
        if (pacer.frameDue(now)) {
            updateAll();
            redrawAll();
        } else {
            waitForMessages(pacer.msUntilNextFrame(now));
        }
    }
    cueBack.stop();
    CoUninitialize();
    return true;
}

// --- window procedure and background painting ----------------------------

LRESULT CALLBACK InstallApp::windowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return installApp.handleMessage(hWnd, msg, wParam, lParam);
}

LRESULT InstallApp::handleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SIZE:
        windowActive = !(wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE);
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
            windowActive = true;
            updateAll();
            redrawAll();
        } else {
            windowActive = false;
        }
        break;
    case WM_PAINT:
        repaintAll();
        break;
    case WM_QUERYENDSESSION:
        sessionEnding = true;
        break;
    case WM_ERASEBKGND:
        paintBackground(hWnd);
        return 1;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_DELETE:
            dispatchKey(static_cast<int>(wParam));
            break;
        }
        keyDown = true;
        break;
    case WM_KEYUP:
        keyDown = false;
        break;
    case WM_CHAR:
        dispatchKey(static_cast<int>(wParam));
        break;
    case WM_FINISH_CANCELLED:
    case WM_FINISH_QUIT:
    case WM_FINISH_COMPLETE:
        handleFinishMessage(msg);
        return 0;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        // Every system command (move, size, minimise, Alt+F4, the task menu) is
        // swallowed: the screens' controls are the only ways out.
        return 0;
    default:
        if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) {
            setMousePos(LOWORD(lParam), HIWORD(lParam));
            dispatchMouse(mouseEventCode(msg));
        }
        break;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void InstallApp::paintBackground(HWND hWnd) {
    HDC dc = GetDC(hWnd);
    screenRect.right = GetDeviceCaps(dc, HORZRES);
    screenRect.bottom = GetDeviceCaps(dc, VERTRES);
    const LONG width = screenRect.right;
    const LONG height = screenRect.bottom;
    const GuiRect& p = panelRect;
    const RECT bands[] = {
        {0, 0, width, p.y},
        {0, p.y, p.x, height},
        {p.x, p.bottom(), width, height},
        {p.right(), p.y, width, p.bottom()},
    };
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const RECT& band : bands) FillRect(dc, &band, black);
    ReleaseDC(hWnd, dc);
}

// --- message boxes -------------------------------------------------------

std::string InstallApp::formatMessage(const char* format) {
    std::string text(format);
    if (text.size() > MESSAGE_BUFFER - 2) text.resize(MESSAGE_BUFFER - 2);
    return text + "\n";
}

int InstallApp::showBox(const std::string& text, UINT type, const char* caption) {
    report.message(text);
    if (options.silent) return (type & MB_YESNO) ? IDNO : IDOK;
    return MessageBoxA(hwnd, text.c_str(), caption ? caption : productIdentity().installCaption().c_str(), type);
}

void InstallApp::playInfoCue() { cueError.play(); }

void InstallApp::playQuestionCue() { cuePresent.play(); }

// --- actions -------------------------------------------------------------

void InstallApp::showWelcomeScreen() { showScreen(&welcomeScreen); }

void InstallApp::showLicenseScreen() { showScreen(&licenseScreen); }

void InstallApp::showOptionsScreen() { showScreen(&optionsScreen); }

void InstallApp::quit() { PostQuitMessage(0); }

void InstallApp::setDesktopShortcut(bool on) { desktopShortcut = on; }

void InstallApp::confirmCancel() {
    if (finishing) return;
    cancelRequested = false;
    cancelPrompting = true;
    if (askYesNo(stringTable.text("MSG_ARE_YOU_SURE"))) cancelRequested = true;
    cancelPrompting = false;
}
