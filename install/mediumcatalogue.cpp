// The catalogue's look-ups.
#include "mediumcatalogue.h"

#include <cstring>
#include <string>

namespace medium {

std::string pictureName(const Picture& picture) {
    std::string name = picture.file;
    name = name.substr(name.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

const Charset* findCharset(const char* name) {
    for (const Charset& charset : CHARSETS)
        if (std::strcmp(charset.name, name) == 0) return &charset;
    return nullptr;
}

}  // namespace medium
