#pragma once

#include "Registry.h"

#include <algorithm>
#include <map>
#include <vector>

// An in-memory registry that answers the way the Windows calls do (a missing
// key or value, a buffer too small), installed for its own lifetime.
class FakeRegistry : public registry::Calls {
public:
    using Values = std::map<std::string, registry::Value>;
    std::map<std::pair<registry::Root, std::string>, Values> keys;
    std::vector<std::uint32_t> accesses; // one per key asked for
    int open = 0;                        // keys opened and not yet closed

    FakeRegistry() : previous_(registry::setCalls(this)) {}
    ~FakeRegistry() override { registry::setCalls(previous_); }
    void set(registry::Root root, const std::string& key, const std::string& name,
             std::string bytes, std::uint32_t type = registry::TypeString) {
        keys[{root, key}][name] = {type, std::move(bytes)};
    }

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
        const auto found = values.find(name);
        if (found == values.end())
            return registry::FileNotFound;
        const std::string& bytes = found->second.bytes;
        *type = found->second.type;
        const bool fits = bytes.size() <= *size;
        *size = std::uint32_t(bytes.size());
        if (fits)
            std::copy(bytes.begin(), bytes.end(), data);
        return fits ? registry::Success : registry::MoreData;
    }
    void closeKey(registry::Handle) override { --open; }

private:
    registry::Calls* previous_;
};
