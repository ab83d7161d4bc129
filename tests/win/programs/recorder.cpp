// A stand-in for the programs that setup starts (additional installers, the
// relaunched setup): appends its own path to "ran.txt" beside it and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char szSelf[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return 1;
    char szRecord[MAX_PATH + 16];
    std::strcpy(szRecord, szSelf);
    char* slash = std::strrchr(szRecord, '\\');
    std::strcpy(slash ? slash + 1 : szRecord, "ran.txt");
    FILE* record = std::fopen(szRecord, "a");
    if (!record) return 1;
    std::fprintf(record, "%s\n", szSelf);
    std::fclose(record);
    return 0;
}
