#include "Registry.h"

#include <algorithm>
#include <vector>

namespace registry {
namespace {
Calls* replacementCalls = nullptr;
}

Calls& calls() {
    return replacementCalls ? *replacementCalls : platform();
}

Calls* setCalls(Calls* replacement) {
    Calls* previous = replacementCalls;
    replacementCalls = replacement;
    return previous;
}

bool readValue(Calls& calls, Root root, const std::string& subkey, const std::string& name,
               std::uint32_t access, std::uint32_t bufferSize, Value& value) {
    value = {};
    Handle key = 0;
    if (calls.openKey(root, subkey, access, &key) != Success)
        return false;
    std::vector<unsigned char> buffer(bufferSize, 0);
    std::uint32_t length = bufferSize;
    const Status rc = calls.queryValue(key, name, &value.type, buffer.data(), &length);
    calls.closeKey(key);
    if (rc != Success)
        return false;
    value.bytes.assign(buffer.begin(), buffer.begin() + std::min(length, bufferSize));
    return true;
}

std::string stringText(std::string bytes) {
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

} // namespace registry
