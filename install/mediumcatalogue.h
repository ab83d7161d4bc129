// The catalogue of medium facts: what a medium must hold for setup and
// uninstall, written once. setup's screens and start-up, uninstall, mkmedium's
// checks and `mkmedium --list` (which the demo's recipes read) all take these
// facts from here, so adding a picture, a cue or a key is one edit.
//
//   the panel
//   files of the medium and the packages
//   pictures (the toolkit's widgets name theirs in gui/guiwidgetpictures.h)
//   sound cues
//   string keys
//   character sets
//   the product (the identity itself: productidentity.h)
#pragma once

#include <string>

#include "gui/guiwidgetpictures.h"

namespace medium {

// --- the panel ---------------------------------------------------------------

// Every screen is drawn in a panel of this size, centred on the screen.
constexpr int PANEL_WIDTH = 550;
constexpr int PANEL_HEIGHT = 400;

// --- files of the medium and the packages --------------------------------------

constexpr const char* STRINGS_FILE = "Media\\strings.txt";
constexpr const char* LICENSE_FILE = "Media\\license.txt";
constexpr const char* README_FILE = "Readme.txt";
constexpr const char* UNINSTALLER_FILE = "uninstall.exe";
// The numbered packages after the main package: data0.pak ... data127.pak.
constexpr const char* NUMBERED_PACKAGE_FORMAT = "data%u.pak";
constexpr unsigned NUMBERED_PACKAGES = 128;

// --- pictures ------------------------------------------------------------------

// 0 for a width or height: any.
constexpr int ANY_SIZE = 0;
// A picture that its widget places: no fixed position to check against the panel.
constexpr int NO_PLACE = -1;

struct Picture {
    const char* file;     // relative to setup's folder
    int width, height;    // ANY_SIZE: any
    bool needsAlpha;      // laid over other artwork: 32 bits; otherwise 24 or 32
    const char* screens;  // the screens that show it
    const char* use;      // what it is on them
    int x, y;             // where it is drawn, when it must stay inside the panel
};

inline constexpr Picture BACK_MENU_1{"Media\\back_play_install_01.tga",
                                     PANEL_WIDTH,
                                     PANEL_HEIGHT,
                                     false,
                                     "welcome, installed",
                                     "background (one of the two, chosen at random)",
                                     NO_PLACE,
                                     NO_PLACE};
inline constexpr Picture BACK_MENU_2{"Media\\back_play_install_02.tga",
                                     PANEL_WIDTH,
                                     PANEL_HEIGHT,
                                     false,
                                     "welcome, installed",
                                     "background (one of the two, chosen at random)",
                                     NO_PLACE,
                                     NO_PLACE};
inline constexpr Picture CAPTION_WELCOME{"Media\\text_install.tga", ANY_SIZE, ANY_SIZE, true, "welcome",
                                         "button labels",           20,       173};
inline constexpr Picture CAPTION_INSTALLED{"Media\\text_play.tga", ANY_SIZE, ANY_SIZE, true, "installed",
                                           "button labels",        20,       173};
inline constexpr Picture HOVER_MENU{
    "Media\\over_install_play.tga", 333, 22, true, "welcome, installed", "button highlight", NO_PLACE, NO_PLACE};
inline constexpr Picture BACK_LICENSE{
    "Media\\back_license.tga", PANEL_WIDTH, PANEL_HEIGHT, false, "licence", "background", NO_PLACE, NO_PLACE};
inline constexpr Picture CAPTION_LICENSE{"Media\\text_license.tga", ANY_SIZE, ANY_SIZE, true, "licence",
                                         "button labels",           0,        326};
inline constexpr Picture HOVER_LICENSE{"Media\\over_license.tga", 128,      32,      true, "licence",
                                       "button highlight",        NO_PLACE, NO_PLACE};
inline constexpr Picture SCROLL_UP{guipictures::SCROLL_ARROW_UP, 22,       21,      false, "licence",
                                   "scroll bar's up arrow",      NO_PLACE, NO_PLACE};
inline constexpr Picture SCROLL_DOWN{guipictures::SCROLL_ARROW_DOWN, 22,       21,      false, "licence",
                                     "scroll bar's down arrow",      NO_PLACE, NO_PLACE};
inline constexpr Picture SLIDER_TOP{guipictures::SLIDER_TOP,  22,       ANY_SIZE, false, "licence",
                                    "scroll bar's thumb top", NO_PLACE, NO_PLACE};
inline constexpr Picture SLIDER_BOTTOM{guipictures::SLIDER_BOTTOM,  22,       ANY_SIZE, false, "licence",
                                       "scroll bar's thumb bottom", NO_PLACE, NO_PLACE};
inline constexpr Picture SLIDER_MIDDLE{guipictures::SLIDER_MIDDLE,  22,       ANY_SIZE, false, "licence",
                                       "scroll bar's thumb middle", NO_PLACE, NO_PLACE};
inline constexpr Picture BACK_OPTIONS{
    "Media\\back_options.tga", PANEL_WIDTH, PANEL_HEIGHT, false, "options", "background", NO_PLACE, NO_PLACE};
inline constexpr Picture CAPTION_OPTIONS{
    "Media\\text_options.tga", ANY_SIZE, ANY_SIZE, true, "options", "labels", 21, 173};
inline constexpr Picture HOVER_OPTIONS{"Media\\over_options.tga", 85,       26,      true, "options",
                                       "button highlight",        NO_PLACE, NO_PLACE};
inline constexpr Picture CHECK_TICK{guipictures::CHECK_TICK, 20,       20,      true, "options",
                                    "check-box tick",        NO_PLACE, NO_PLACE};
inline constexpr Picture EDIT_CARET{guipictures::EDIT_CARET, ANY_SIZE, ANY_SIZE, true, "options",
                                    "folder-box caret",      NO_PLACE, NO_PLACE};
inline constexpr Picture BACK_PROGRESS{
    "Media\\back_progress.tga", PANEL_WIDTH, PANEL_HEIGHT, false, "progress", "background", NO_PLACE, NO_PLACE};
inline constexpr Picture CAPTION_PROGRESS{
    "Media\\text_progress.tga", ANY_SIZE, ANY_SIZE, true, "progress", "button labels", 373, 318};
inline constexpr Picture HOVER_PROGRESS{"Media\\over_progress.tga", 127,      32,      true, "progress",
                                        "button highlight",         NO_PLACE, NO_PLACE};
inline constexpr Picture PROGRESS_BAR{guipictures::PROGRESS_BAR, 344, 23, false, "progress", "bar", NO_PLACE, NO_PLACE};

// The progress screen's slide show, in the order the installation reaches them.
constexpr int SLIDE_COUNT = 10;
constexpr int SLIDE_WIDTH = 453;
constexpr int SLIDE_HEIGHT = 211;
constexpr Picture slide(const char* file, const char* use) {
    return {file, SLIDE_WIDTH, SLIDE_HEIGHT, false, "progress", use, NO_PLACE, NO_PLACE};
}
inline constexpr Picture SLIDES[SLIDE_COUNT] = {
    slide("Media\\01.tga", "slide 1"),  slide("Media\\02.tga", "slide 2"), slide("Media\\03.tga", "slide 3"),
    slide("Media\\04.tga", "slide 4"),  slide("Media\\05.tga", "slide 5"), slide("Media\\06.tga", "slide 6"),
    slide("Media\\07.tga", "slide 7"),  slide("Media\\08.tga", "slide 8"), slide("Media\\09.tga", "slide 9"),
    slide("Media\\10.tga", "slide 10"),
};

// Every picture of a medium, screen by screen.
inline constexpr const Picture* PICTURES[] = {
    &BACK_MENU_1,     &BACK_MENU_2,      &CAPTION_WELCOME, &CAPTION_INSTALLED, &HOVER_MENU, &BACK_LICENSE,
    &CAPTION_LICENSE, &HOVER_LICENSE,    &SCROLL_UP,       &SCROLL_DOWN,       &SLIDER_TOP, &SLIDER_BOTTOM,
    &SLIDER_MIDDLE,   &BACK_OPTIONS,     &CAPTION_OPTIONS, &HOVER_OPTIONS,     &CHECK_TICK, &EDIT_CARET,
    &BACK_PROGRESS,   &CAPTION_PROGRESS, &HOVER_PROGRESS,  &PROGRESS_BAR,      &SLIDES[0],  &SLIDES[1],
    &SLIDES[2],       &SLIDES[3],        &SLIDES[4],       &SLIDES[5],         &SLIDES[6],  &SLIDES[7],
    &SLIDES[8],       &SLIDES[9],
};

// The file name of a picture without "Media\" and ".tga", as publishers name it.
std::string pictureName(const Picture& picture);

// --- sound cues ----------------------------------------------------------------

struct Cue {
    const char* file;
    bool loop;
    const char* use;
};

inline constexpr Cue CUE_BACK{"Media\\Back.mp3", true, "background music, repeated from start-up on"};
inline constexpr Cue CUE_OK{"Media\\Ok.mp3", false, "click of every button"};
inline constexpr Cue CUE_ERROR{"Media\\Error.mp3", false, "information boxes"};
inline constexpr Cue CUE_PRESENT{"Media\\Present.mp3", false, "questions"};
inline constexpr Cue CUE_SCRSHOT{"Media\\ScrShot.mp3", false, "each new slide of the progress screen"};

// In the order setup loads them.
inline constexpr const Cue* CUES[] = {&CUE_BACK, &CUE_OK, &CUE_ERROR, &CUE_PRESENT, &CUE_SCRSHOT};

// --- string keys ---------------------------------------------------------------

struct Key {
    const char* name;
    const char* programs;  // "setup", "uninstall" or both
    bool required;         // setup or uninstall needs a text for it; an optional key has a value when absent
    const char* meaning;
    const char* example;  // a text that a new medium starts with
};

// Every key that setup or uninstall looks up, with a line on what it is.
inline constexpr Key KEYS[] = {
    {"STR_APP_TITLE", "setup", true,
     "title of the main window; the progress screen adds the percentage (at most 117 characters)", "My Game Setup"},
    {"LNG_CHARSET", "setup", true,
     "character set of the fonts, one of the character-set names; its code page is the one of every text",
     "ANSI_CHARSET"},
    {"MSG_WRONG_SYSTEM", "setup", true, "first line of the warning on a Windows older than 2000",
     "My Game needs Windows 2000 or a newer version of Windows."},
    {"MSG_WRONG_SYSTEM1", "setup", true, "second line of that warning: the question whether to go on",
     "Do you want to continue the installation anyway?"},
    {"URL_HOMEPAGE", "setup", true, "the game's web site: the home-page button and the web-site shortcut",
     "https://www.example.com/"},
    {"URL_SUPPORT", "setup", true, "the game's support web address, the support link in Settings > Apps",
     "https://www.example.com/support/"},
    {"PATH_SOURCE", "setup", true, "the main package beside setup.exe (mkmedium makes it)", "game.rar"},
    {"PATH_GAME_DIR", "setup", true, "the game's folder under Program Files and in the Start menu",
     "My Company\\My Game"},
    {"TXT_SELECT_DIRECTORY", "setup", true, "title of the folder browser", "Choose the folder to install My Game in:"},
    {"INT_SPACE_NEED", "setup", true, "megabytes the installation needs (mkmedium writes it)", "1"},
    {"MSG_OUT_OF_SPACE1", "setup", true, "not-enough-space message: the text before the size needed",
     "There is not enough free space on the chosen drive. My Game needs"},
    {"MSG_OUT_OF_SPACE2", "setup", true, "not-enough-space message: the text before the shortfall",
     "of free space, and the drive is short by"},
    {"MSG_OUT_OF_SPACE3", "setup", true, "not-enough-space message: the text after the shortfall",
     "MB. Please free some space or choose another folder."},
    {"MSG_MB", "setup", true, "the unit word of the space message (at most 49 characters)", "MB"},
    {"ERR_NO_FILE", "setup", true, "text put before the name of a file missing from the medium",
     "The installation medium is incomplete. This file is missing:"},
    {"ERR_NO_WRITE", "setup", false,
     "text put before an installation folder that cannot be created or written; the folder follows on a line of "
     "its own (absent: an English text stands in)",
     "Setup cannot create files in this folder. Please choose a folder you may write to:"},
    {"MSG_ARE_YOU_SURE", "setup", true, "question before cancelling the installation",
     "Do you really want to cancel the installation of My Game?"},
    {"PATH_GAME_EXE", "setup", true, "the game's program inside the game folder (shortcuts, the play button)",
     "Game.exe"},
    {"TXT_GAME_ICON_DESCR", "setup", true, "name of the game's Start-menu shortcut", "My Game"},
    {"TXT_SUPPORT_ICON_DESCR", "setup", true, "name of the support shortcut", "My Game Support"},
    {"PATH_SUPPORT", "setup", true, "target of the support shortcut inside the game folder", "Support.txt"},
    {"TXT_SITE_ICON_DESCR", "setup", true, "name of the web-site shortcut (to URL_HOMEPAGE)", "My Game Web Site"},
    {"TXT_SPONSOR_SITE_ICON_DESCR", "setup", true, "name of the sponsor's web-site shortcut", "My Company Web Site"},
    {"URL_SPONSOR_HOMEPAGE", "setup", true, "target of the sponsor's web-site shortcut", "https://www.example.com/"},
    {"TXT_UNINSTALL_ICON_DESCR", "setup", true, "name of the uninstall shortcut", "Uninstall My Game"},
    {"INT_ICON_CB_X", "setup", true, "left edge, in pixels, of the desktop-shortcut check box on the options screen",
     "22"},
    {"MSG_CONFIRM_UNINSTALL", "uninstall", true, "question before removing the game",
     "Do you want to remove My Game and all of its components from your computer?"},
    {"MSG_UNINSTALL_SUCCESS", "uninstall", true, "message after the game was removed",
     "My Game was removed from your computer."},
    {"MSG_UNINSTALL_FAIL", "uninstall", true, "message when the installation cannot be found",
     "My Game could not be found, so nothing was removed."},
    {"MSG_UNINSTALL_INCOMPLETE", "uninstall", false,
     "message when not all could be removed (the log is missing or damaged, or files are in use); the "
     "installation folder follows on a line of its own (absent: an English text stands in)",
     "My Game could not be removed completely. Please look into this folder:"},
    {"STR_PRODUCT_NAME", "setup, uninstall", false,
     "the product's name: the message boxes' captions (\"<name> Install\", \"<name> Uninstall\"), the desktop "
     "shortcut, the registry key and the entry in Settings > Apps (absent: Quillmark Demo)",
     "My Game"},
    {"STR_PUBLISHER", "setup, uninstall", false,
     "the maker, shown in Settings > Apps; names the registry key's folder when PATH_REGISTRY_KEY is absent "
     "(absent: no maker shown, and Orvanta in the key)",
     "My Company"},
    {"PATH_REGISTRY_KEY", "setup, uninstall", false,
     "the product's key under HKEY_CURRENT_USER (absent: SOFTWARE\\<maker>\\<name>); each product needs its own",
     "SOFTWARE\\My Company\\My Game"},
    {"TXT_DESKTOP_ICON_DESCR", "setup", false, "name of the desktop shortcut (absent: the product's name)", "My Game"},
};

// The additional installers: "PATH_ADD_INSTALL_<n>" names the program (inside the
// game folder) of installer n, "MSG_CONFIRM_ADD_INSTALL_<n>" the question asked
// before it (none: it runs without asking), n from 0 to ADD_INSTALL_SLOTS - 1.
constexpr unsigned ADD_INSTALL_SLOTS = 16;
constexpr const char* ADD_INSTALL_PATH_KEY = "PATH_ADD_INSTALL_%u";
constexpr const char* ADD_INSTALL_QUESTION_KEY = "MSG_CONFIRM_ADD_INSTALL_%u";

// --- character sets ------------------------------------------------------------

struct Charset {
    const char* name;  // the value of LNG_CHARSET
    int number;        // the GDI character set of the fonts
    int codePage;      // the Windows code page its texts are written in; 0: plain ASCII only
};

// In the order setup compares them; names are exact and case-sensitive.
inline constexpr Charset CHARSETS[] = {
    {"ANSI_CHARSET", 0, 1252},    {"BALTIC_CHARSET", 186, 1257},     {"CHINESEBIG5_CHARSET", 136, 950},
    {"DEFAULT_CHARSET", 1, 0},    {"EASTEUROPE_CHARSET", 238, 1250}, {"GB2312_CHARSET", 134, 936},
    {"GREEK_CHARSET", 161, 1253}, {"HANGUL_CHARSET", 129, 949},      {"MAC_CHARSET", 77, 10000},
    {"OEM_CHARSET", 255, 437},    {"RUSSIAN_CHARSET", 204, 1251},    {"SHIFTJIS_CHARSET", 128, 932},
    {"SYMBOL_CHARSET", 2, 0},     {"TURKISH_CHARSET", 162, 1254},    {"VIETNAMESE_CHARSET", 163, 1258},
    {"JOHAB_CHARSET", 130, 1361}, {"ARABIC_CHARSET", 178, 1256},     {"HEBREW_CHARSET", 177, 1255},
    {"THAI_CHARSET", 222, 874},
};

// The known character set of a name; null for an unknown one.
const Charset* findCharset(const char* name);

// --- the product ---------------------------------------------------------------

// What a medium without the identity keys installs as (productidentity.h): the
// product's name, and the maker in its registry key SOFTWARE\\<maker>\\<name>.
constexpr const char* DEFAULT_PRODUCT_NAME = "Quillmark Demo";
constexpr const char* DEFAULT_MAKER = "Orvanta";

// The entry under HKEY_CURRENT_USER that resumes the extra installers at the
// next logon, written by finishing and deleted with the installation.
constexpr const char* RUNONCE_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Runonce";
constexpr const char* RUNONCE_VALUE = "__QuillmarkAdditionalInstallation__";

}  // namespace medium
