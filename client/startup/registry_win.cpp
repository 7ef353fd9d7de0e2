#include "Registry.h"

#include <windows.h>

namespace registry {
namespace {

HKEY toHkey(Handle h) {
    return reinterpret_cast<HKEY>(h);
}

// The predefined keys are sign-extended on 64-bit Windows; take them from the headers.
HKEY rootKey(Root root) {
    return root == Root::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32Registry : public Calls {
public:
    Status openKey(Root root, const std::string& subkey, std::uint32_t access,
                   Handle* key) override {
        HKEY opened = nullptr;
        const LONG rc =
            RegOpenKeyExA(rootKey(root), subkey.c_str(), 0, static_cast<REGSAM>(access), &opened);
        *key = rc == ERROR_SUCCESS ? reinterpret_cast<Handle>(opened) : 0;
        return static_cast<Status>(rc);
    }

    Status queryValue(Handle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                      std::uint32_t* size) override {
        DWORD valueType = 0;
        DWORD bytes = *size;
        const LONG rc =
            RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &valueType, data, &bytes);
        *type = valueType;
        *size = bytes;
        return static_cast<Status>(rc);
    }

    void closeKey(Handle key) override { RegCloseKey(toHkey(key)); }
};

} // namespace

Calls& platform() {
    static Win32Registry windowsRegistry;
    return windowsRegistry;
}

} // namespace registry
