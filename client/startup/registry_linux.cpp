#include "Registry.h"

// No registry here: every key is missing, so every reader gets its empty answer.
namespace registry {
namespace {

class NoRegistry : public Calls {
public:
    Status openKey(Root, const std::string&, std::uint32_t, Handle* key) override {
        *key = 0;
        return FileNotFound;
    }
    Status queryValue(Handle, const std::string&, std::uint32_t*, unsigned char*,
                      std::uint32_t* size) override {
        *size = 0;
        return FileNotFound;
    }
    void closeKey(Handle) override {}
};

} // namespace

Calls& platform() {
    static NoRegistry none;
    return none;
}

} // namespace registry
