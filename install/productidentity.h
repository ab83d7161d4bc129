// The product's identity on the player's computer: its name (in the message
// boxes' captions and the desktop shortcut), its maker and its registry key.
// A medium gives them in its string table; the keys it leaves out give the
// demo's identity, so a medium without them behaves as it always has. setup and
// uninstall read the same keys, uninstall from the copy of the string table
// beside it.
#pragma once

#include <string>

class ResStringTable;

struct ProductIdentity {
    std::string name;             // STR_PRODUCT_NAME, else the demo's name
    std::string publisher;        // STR_PUBLISHER; empty when the medium names none
    std::string registryKey;      // PATH_REGISTRY_KEY, else SOFTWARE\<publisher or the demo's maker>\<name>
    std::string desktopShortcut;  // TXT_DESKTOP_ICON_DESCR, else the name: the desktop link without ".lnk"

    // The captions of setup's and uninstall's message boxes.
    std::string installCaption() const { return name + " Install"; }
    std::string uninstallCaption() const { return name + " Uninstall"; }
    // The key above the product's, which uninstall keeps, and the product's own
    // name below it.
    std::string makerKey() const;
    std::string productSubkey() const;
};

// The identity that a string table gives.
ProductIdentity readProductIdentity(const ResStringTable& table);

// The identity of the running program: the demo's until setProductIdentity is
// called once the string table is loaded. Read on any thread afterwards.
const ProductIdentity& productIdentity();
void setProductIdentity(const ProductIdentity& identity);
