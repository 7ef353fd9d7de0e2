#pragma once

#include "Registry.h"

#include <cstring>
#include <map>
#include <vector>

// An in-memory registry that answers the way the Windows calls do (a missing
// key or value, a buffer too small), installed for its own lifetime.
struct FakeRegistry : registry::Calls {
    using Values = std::map<std::string, registry::Value>;
    std::map<std::pair<registry::Root, std::string>, Values> keys;
    std::vector<std::uint32_t> accesses; // one per key asked for
    int open = 0;                        // keys opened and not yet closed
    registry::Calls* previous = registry::setCalls(this);

    ~FakeRegistry() override { registry::setCalls(previous); }
    registry::Status openKey(registry::Root root, const std::string& subkey, std::uint32_t access,
                             registry::Handle* key) override {
        accesses.push_back(access);
        const auto found = keys.find({root, subkey});
        *key = found == keys.end() ? 0 : registry::Handle(&found->second);
        open += *key != 0;
        return *key ? registry::Success : registry::FileNotFound;
    }
    registry::Status queryValue(registry::Handle key, const std::string& name, std::uint32_t* type,
                                unsigned char* data, std::uint32_t* size) override {
        const Values& values = *reinterpret_cast<const Values*>(key);
        if (!values.count(name))
            return registry::FileNotFound;
        const auto& [storedType, bytes] = values.at(name);
        const bool fits = bytes.size() <= *size;
        *type = storedType;
        *size = std::uint32_t(bytes.size());
        std::memcpy(data, bytes.data(), fits ? bytes.size() : 0);
        return fits ? registry::Success : registry::MoreData;
    }
    void closeKey(registry::Handle) override { --open; }
};
