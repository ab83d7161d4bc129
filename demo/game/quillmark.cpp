// The Quillmark Demo game as the medium installs it: one window that says the
// demo is running. Tests find it by its window class "QuillmarkDemoGame" or
// its title "Quillmark Demo".
#include <windows.h>

namespace {

const char kWindowClass[] = "QuillmarkDemoGame";
const char kWindowTitle[] = "Quillmark Demo";

// Ink blue and quill gold, the colours of the installer's artwork.
const COLORREF kInk = RGB(0x1d, 0x35, 0x57);
const COLORREF kGold = RGB(0xf1, 0xc4, 0x53);
const COLORREF kParchment = RGB(0xe6, 0xd7, 0xbd);

void paintWindow(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH ink = CreateSolidBrush(kInk);
    FillRect(dc, &client, ink);
    DeleteObject(ink);
    SetBkMode(dc, TRANSPARENT);

    HFONT title = CreateFontA(40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman");
    HGDIOBJ old = SelectObject(dc, title);
    SetTextColor(dc, kGold);
    RECT band = client;
    band.bottom = client.bottom / 2;
    DrawTextA(dc, "QUILLMARK", -1, &band, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(title);

    SetTextColor(dc, kParchment);
    RECT lines = client;
    lines.top = client.bottom / 2 + 12;
    DrawTextA(dc, "The Quillmark Demo game is running.\nClose this window to leave the demo.", -1, &lines,
              DT_CENTER | DT_TOP);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        paintWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowA(kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480, 320,
                              nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
