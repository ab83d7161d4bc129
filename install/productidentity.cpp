// The product's identity, read once from the string table.
#include "productidentity.h"

#include "mediumcatalogue.h"
#include "resstringtable.h"

namespace {

std::string textOr(const ResStringTable& table, const char* key, const char* absent) {
    const char* text = table.text(key);
    return *text ? text : absent;
}

ProductIdentity& runningIdentity() {
    static ProductIdentity identity = readProductIdentity(ResStringTable());
    return identity;
}

}  // namespace

std::string ProductIdentity::makerKey() const {
    const size_t split = registryKey.rfind('\\');
    return split == std::string::npos ? std::string() : registryKey.substr(0, split);
}

std::string ProductIdentity::productSubkey() const { return registryKey.substr(registryKey.rfind('\\') + 1); }

ProductIdentity readProductIdentity(const ResStringTable& table) {
    ProductIdentity identity;
    identity.name = textOr(table, "STR_PRODUCT_NAME", medium::DEFAULT_PRODUCT_NAME);
    identity.publisher = table.text("STR_PUBLISHER");
    const std::string maker = identity.publisher.empty() ? medium::DEFAULT_MAKER : identity.publisher;
    identity.registryKey = textOr(table, "PATH_REGISTRY_KEY", ("SOFTWARE\\" + maker + "\\" + identity.name).c_str());
    identity.desktopShortcut = textOr(table, "TXT_DESKTOP_ICON_DESCR", identity.name.c_str());
    return identity;
}

const ProductIdentity& productIdentity() { return runningIdentity(); }

void setProductIdentity(const ProductIdentity& identity) { runningIdentity() = identity; }
