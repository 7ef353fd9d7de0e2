#include "Registry.h"

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

} // namespace registry
