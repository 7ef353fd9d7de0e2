#pragma once

#include "Registry.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

// An in-memory registry that answers the way the Windows calls do: a missing
// key or value, a buffer too small, an invalid handle.
class FakeRegistry : public registry::Calls {
public:
    struct Value {
        std::uint32_t type = registry::TypeString;
        std::string bytes;
    };
    using KeyName = std::pair<registry::Root, std::string>;

    void set(registry::Root root, const std::string& subkey, const std::string& name, Value value) {
        keys_[{root, subkey}][name] = std::move(value);
    }
    void addKey(registry::Root root, const std::string& subkey) { keys_[{root, subkey}]; }

    registry::Status openKey(registry::Root root, const std::string& subkey, std::uint32_t access,
                             registry::Handle* key) override {
        opened.push_back({root, subkey});
        accesses.push_back(access);
        const auto found = keys_.find({root, subkey});
        if (found == keys_.end()) {
            *key = 0;
            return registry::FileNotFound;
        }
        handles_.push_back(&found->second);
        *key = handles_.size(); // never 0
        ++openCount;
        return registry::Success;
    }

    registry::Status queryValue(registry::Handle key, const std::string& name, std::uint32_t* type,
                                unsigned char* data, std::uint32_t* size) override {
        constexpr registry::Status InvalidHandle = 6;
        if (key == 0 || key > handles_.size() || !handles_[key - 1])
            return InvalidHandle;
        const auto& values = *handles_[key - 1];
        const auto found = values.find(name);
        if (found == values.end())
            return registry::FileNotFound;
        const std::string& bytes = found->second.bytes;
        *type = found->second.type;
        if (bytes.size() > *size) {
            *size = std::uint32_t(bytes.size());
            return registry::MoreData;
        }
        std::copy(bytes.begin(), bytes.end(), data);
        *size = std::uint32_t(bytes.size());
        return registry::Success;
    }

    void closeKey(registry::Handle key) override {
        if (key != 0 && key <= handles_.size())
            handles_[key - 1] = nullptr;
        ++closeCount;
    }

    std::vector<KeyName> opened;
    std::vector<std::uint32_t> accesses;
    int openCount = 0;
    int closeCount = 0;

private:
    std::map<KeyName, std::map<std::string, Value>> keys_;
    std::vector<const std::map<std::string, Value>*> handles_;
};

// Installs a registry for the lifetime of a test and puts the previous one back.
class RegistryScope {
public:
    explicit RegistryScope(registry::Calls& calls) : previous_(registry::setCalls(&calls)) {}
    ~RegistryScope() { registry::setCalls(previous_); }
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;

private:
    registry::Calls* previous_;
};
