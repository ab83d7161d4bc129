// Checks of entry names and link targets against escaping the destination folder.
#include "unrar/entrypath.h"

namespace {

bool isSeparator(PathString::value_type c) { return c == '/' || c == '\\'; }

bool hasDriveLetter(const PathString& s) {
    return s.size() >= 2 && s[1] == ':' && ((s[0] >= 'a' && s[0] <= 'z') || (s[0] >= 'A' && s[0] <= 'Z'));
}

void splitAtSeparators(const PathString& s, std::vector<PathString>& parts) {
    PathString part;
    for (auto c : s) {
        if (isSeparator(c)) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
}

}  // namespace

bool splitEntryPath(const PathString& name, std::vector<PathString>& components) {
    components.clear();
    if (name.empty() || isSeparator(name[0]) || hasDriveLetter(name)) return false;
    std::vector<PathString> parts;
    splitAtSeparators(name, parts);
    for (const auto& part : parts) {
        if (part.empty() || part == PATH_TEXT(".")) continue;
        if (part == PATH_TEXT("..")) return false;
#ifdef _WIN32
        // A colon names a drive or an alternate data stream: never a plain file.
        if (part.find(L':') != PathString::npos) return false;
#endif
        components.push_back(part);
    }
    return !components.empty();
}

bool linkTargetStaysInside(const PathString& target, size_t linkDepth) {
    if (target.empty() || isSeparator(target[0]) || hasDriveLetter(target)) return false;
    std::vector<PathString> parts;
    splitAtSeparators(target, parts);
    size_t ups = 0;
    bool descended = false;
    for (const auto& part : parts) {
        if (part.empty() || part == PATH_TEXT(".")) continue;
        if (part == PATH_TEXT("..")) {
            // After a normal component a ".." could climb out through a link.
            if (descended || ++ups > linkDepth) return false;
            continue;
        }
#ifdef _WIN32
        if (part.find(L':') != PathString::npos) return false;
#endif
        descended = true;
    }
    return true;
}

PathString joinPath(const PathString& folder, const std::vector<PathString>& components, size_t count) {
#ifdef _WIN32
    const wchar_t separator = L'\\';
#else
    const char separator = '/';
#endif
    PathString path = folder;
    for (size_t i = 0; i < count && i < components.size(); ++i) {
        if (!path.empty() && !isSeparator(path.back())) path += separator;
        path += components[i];
    }
    return path;
}
