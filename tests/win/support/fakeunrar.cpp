// A stand-in for "unrar.dll" in the worker tests, with the library's exports and
// records, so that the tests choose exactly where an entry fails.
//
// A package is a text file: the line "FAKERAR", then one entry a line,
//   name TAB size [TAB "bad"]      a file
//   name TAB "dir"                 a folder
// with the name in the OEM code page (the extended header gives it as wide text
// too, and the wide extraction writes it under that name). A file
// is written as `size` bytes in blocks of 64 KiB, the data callback called after
// each block; "bad" fails the entry with ERAR_BAD_DATA once its data is written.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "unrarbinding.h"

namespace {

constexpr int ERAR_END_ARCHIVE = 10;
constexpr int ERAR_BAD_DATA = 12;
constexpr int ERAR_BAD_ARCHIVE = 13;
constexpr int ERAR_UNKNOWN = 21;
constexpr DWORD BLOCK_SIZE = 65536;

struct Entry {
    std::string name;
    UINT size;
    bool folder;
    bool bad;
};

struct Archive {
    std::vector<Entry> entries;
    size_t next = 0;
    UNRARPROCESSDATAPROC callback = nullptr;
};

bool readPackage(const char* path, Archive& archive) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    char line[1024];
    bool valid = std::fgets(line, sizeof line, file) != nullptr && std::strncmp(line, "FAKERAR", 7) == 0;
    while (valid && std::fgets(line, sizeof line, file) != nullptr) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* size = std::strchr(line, '\t');
        if (size == nullptr) continue;
        *size++ = '\0';
        char* flag = std::strchr(size, '\t');
        if (flag != nullptr) *flag = '\0';
        archive.entries.push_back({line, static_cast<UINT>(std::strtoul(size, nullptr, 10)),
                                   std::strcmp(size, "dir") == 0,
                                   flag != nullptr && std::strcmp(flag + 1, "bad") == 0});
    }
    std::fclose(file);
    return valid;
}

std::wstring toWide(const std::string& text, UINT codePage) {
    std::wstring wide(text.size(), L'\0');
    int length = MultiByteToWideChar(codePage, 0, text.c_str(), static_cast<int>(text.size()), &wide[0],
                                     static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length : 0);
    return wide;
}

void makeParents(const std::wstring& path) {
    for (size_t at = path.find_first_of(L"\\/", 3); at != std::wstring::npos; at = path.find_first_of(L"\\/", at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
}

int writeEntry(Archive& archive, const Entry& entry, const std::wstring& path) {
    makeParents(path);
    if (entry.folder) {
        CreateDirectoryW(path.c_str(), nullptr);
        return 0;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ERAR_EWRITE;
    static unsigned char block[BLOCK_SIZE];
    std::memset(block, 'q', sizeof block);
    int code = 0;
    for (UINT left = entry.size; left > 0 && code == 0;) {
        DWORD chunk = left < BLOCK_SIZE ? left : BLOCK_SIZE;
        DWORD written = 0;
        if (!WriteFile(file, block, chunk, &written, nullptr) || written != chunk) {
            code = ERAR_EWRITE;
        } else if (archive.callback != nullptr && archive.callback(block, static_cast<int>(chunk)) == 0) {
            code = ERAR_UNKNOWN;
        }
        left -= chunk;
    }
    CloseHandle(file);
    if (code == 0 && entry.bad) code = ERAR_BAD_DATA;
    return code;
}

}  // namespace

extern "C" {

HANDLE CALLBACK fakeOpenArchive(RAROpenArchiveData* data) {
    Archive* archive = new Archive;
    if (!readPackage(data->ArcName, *archive)) {
        delete archive;
        data->OpenResult = ERAR_BAD_ARCHIVE;
        return nullptr;
    }
    data->OpenResult = 0;
    return archive;
}

int CALLBACK fakeCloseArchive(HANDLE handle) {
    delete static_cast<Archive*>(handle);
    return 0;
}

int CALLBACK fakeReadHeader(HANDLE handle, RARHeaderData* header) {
    Archive& archive = *static_cast<Archive*>(handle);
    if (archive.next >= archive.entries.size()) return ERAR_END_ARCHIVE;
    const Entry& entry = archive.entries[archive.next++];
    std::snprintf(header->FileName, sizeof header->FileName, "%s", entry.name.c_str());
    header->UnpSize = entry.size;
    return 0;
}

int CALLBACK fakeReadHeaderEx(HANDLE handle, RARHeaderDataEx* header) {
    Archive& archive = *static_cast<Archive*>(handle);
    if (archive.next >= archive.entries.size()) return ERAR_END_ARCHIVE;
    const Entry& entry = archive.entries[archive.next++];
    std::snprintf(header->FileName, sizeof header->FileName, "%s", entry.name.c_str());
    std::swprintf(header->FileNameW, std::size(header->FileNameW), L"%ls", toWide(entry.name, CP_OEMCP).c_str());
    header->UnpSize = entry.size;
    header->UnpSizeHigh = 0;
    return 0;
}

int CALLBACK fakeProcessFile(HANDLE handle, int operation, char* destPath, char*) {
    Archive& archive = *static_cast<Archive*>(handle);
    if (operation != RAR_EXTRACT) return 0;
    const Entry& entry = archive.entries[archive.next - 1];
    return writeEntry(archive, entry, toWide(std::string(destPath) + "\\" + entry.name, CP_OEMCP));
}

int CALLBACK fakeProcessFileW(HANDLE handle, int operation, wchar_t* destPath, wchar_t*) {
    Archive& archive = *static_cast<Archive*>(handle);
    if (operation != RAR_EXTRACT) return 0;
    const Entry& entry = archive.entries[archive.next - 1];
    return writeEntry(archive, entry, std::wstring(destPath) + L"\\" + toWide(entry.name, CP_OEMCP));
}

void CALLBACK fakeSetChangeVolProc(HANDLE, UNRARCHANGEVOLPROC) {}

void CALLBACK fakeSetProcessDataProc(HANDLE handle, UNRARPROCESSDATAPROC callback) {
    static_cast<Archive*>(handle)->callback = callback;
}

void CALLBACK fakeSetPassword(HANDLE, char*) {}

}  // extern "C"
