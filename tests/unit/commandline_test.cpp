// Tests of the command lines of setup.exe and uninstall.exe: what each option
// sets, every refusal, and the exit codes as the README lists them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "commandline.h"

namespace {

struct Accepted {
    const char* line;
    bool silent, noShortcut, help;
    ExtrasChoice extras;
    const char* installDir;
    const char* logFile;
};

TEST(SetupCommandLine, AcceptsEveryOptionInAnyCaseWithSlashOrDash) {
    const ExtrasChoice unasked = ExtrasChoice::Unasked;
    const Accepted cases[] = {
        {"", false, false, false, unasked, "", ""},
        {"/S", true, false, false, unasked, "", ""},
        {"  -s\t", true, false, false, unasked, "", ""},
        {"/s -NoShortcut /extras=ALL /Log=setup.log", true, true, false, ExtrasChoice::All, "", "setup.log"},
        {"-EXTRAS=none", false, false, false, ExtrasChoice::None, "", ""},
        {"/EXTRAS=Unasked /?", false, false, true, unasked, "", ""},
        {"-?", false, false, true, unasked, "", ""},
        {"/LOG=\"C:\\my logs\\setup.log\" /S", true, false, false, unasked, "", "C:\\my logs\\setup.log"},
        // /D= takes the rest of the line: blanks without quotes, quotes removed,
        // and what looks like another option belongs to the folder.
        {"/S /D=C:\\Program Files\\Quill Mark  ", true, false, false, unasked, "C:\\Program Files\\Quill Mark", ""},
        {"/S /d=\"D:\\Spiele f\xFCr K\xE4the\\Q\"", true, false, false, unasked, "D:\\Spiele f\xFCr K\xE4the\\Q", ""},
        {"\"/D=C:\\x y\"", false, false, false, unasked, "C:\\x y", ""},
        {"/D=c:/games/q /NOSHORTCUT", false, false, false, unasked, "c:/games/q /NOSHORTCUT", ""},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.line);
        const SetupOptions options = parseSetupCommandLine(c.line);
        EXPECT_EQ(options.error, "");
        EXPECT_EQ(options.given, *c.line != '\0');
        EXPECT_EQ(options.silent, c.silent);
        EXPECT_EQ(options.noShortcut, c.noShortcut);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.extras, c.extras);
        EXPECT_EQ(options.installDir, c.installDir);
        EXPECT_EQ(options.logFile, c.logFile);
    }
}

struct Refused {
    const char* line;
    const char* because;
    bool silent;
};

TEST(SetupCommandLine, RefusesBadInputWithAClearReason) {
    const Refused cases[] = {
        {"/X", "/X is unknown", false},
        {"install", "Unexpected word install", false},
        {"/S /S", "/S is given twice", true},
        {"/s -S", "is given twice", true},
        {"/D=", "names no folder", false},
        {"/D=  \"\"", "names no folder", false},
        {"/D=games\\q", "is not a full path", false},
        {"/D=\\\\server\\share\\q", "is not a full path", false},
        {"/D=C:\\", "root of a drive", false},
        {"/D=C:\\a|b", "no folder name may hold", false},
        {"/D=C:\\a:stream", "no folder name may hold", false},
        {"/D", "needs a value", false},
        {"/EXTRAS=some", "not one of ALL, UNASKED and NONE", false},
        {"/EXTRAS", "needs a value", false},
        {"/LOG=", "names no file", false},
        {"/S=1", "takes no value", false},
        {"/NOSHORTCUT=yes", "takes no value", false},
        // A script that asked for no window gets none, wherever its /S stands,
        // but an /S inside the folder of /D= is not one.
        {"/NOSHORTCUTS /S", "/NOSHORTCUTS is unknown", true},
        {"/X /D=C:\\a /S", "/X is unknown", false},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.line);
        const SetupOptions options = parseSetupCommandLine(c.line);
        EXPECT_NE(options.error.find(c.because), std::string::npos) << options.error;
        EXPECT_NE(options.error.find("setup.exe /? lists the options."), std::string::npos);
        EXPECT_EQ(options.silent, c.silent);
    }
    // The first reason is kept, and a log named after it still receives it.
    const SetupOptions options = parseSetupCommandLine("/EXTRAS=SOME /Q /LOG=setup.log /S");
    EXPECT_EQ(options.error.find("/EXTRAS=SOME"), 0u) << options.error;
    EXPECT_EQ(options.logFile, "setup.log");
}

TEST(UninstallCommandLine, TakesOnlySilence) {
    EXPECT_FALSE(parseUninstallCommandLine("").silent);
    for (const char* line : {"/S", "-s", " /s "}) {
        const UninstallOptions options = parseUninstallCommandLine(line);
        EXPECT_TRUE(options.silent) << line;
        EXPECT_EQ(options.error, "") << line;
    }
    for (const char* line : {"/S /S", "/quiet", "/S=1", "now"})
        EXPECT_NE(parseUninstallCommandLine(line).error, "") << line;
    EXPECT_TRUE(parseUninstallCommandLine("/Q /S").silent);
}

// The README's table of exit codes says what setup says, code for code.
TEST(SetupCommandLine, ReadmeListsEveryExitCodeAsTheProgramDoes) {
    std::ifstream in(QUILL_DEMO_DIR "/../README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    ASSERT_FALSE(readme.str().empty());
    for (int code = 0; code <= static_cast<int>(SetupExit::Cancelled); ++code) {
        const std::string row =
            "| " + std::to_string(code) + " | " + setupExitMeaning(static_cast<SetupExit>(code)) + " |";
        EXPECT_NE(readme.str().find(row), std::string::npos) << row;
        EXPECT_NE(setupUsage().find(std::to_string(code) + "\t" + setupExitMeaning(static_cast<SetupExit>(code))),
                  std::string::npos);
    }
}

}  // namespace
