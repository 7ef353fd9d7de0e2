#include "DialUp.h"

#include <windows.h>

#include <ras.h>

namespace dialup {
namespace {

// The records travel as raw bytes: their sizes are the ones the service was
// built for, not those of this compiler's structures.
class Win32Ras : public RasCalls {
public:
    std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                  std::uint32_t* count) override {
        DWORD size = *bufferSize;
        DWORD connections = 0;
        const DWORD rc =
            RasEnumConnectionsA(reinterpret_cast<LPRASCONNA>(records), &size, &connections);
        *bufferSize = size;
        *count = connections;
        return rc;
    }

    std::uint32_t getConnectStatus(std::uint32_t connection, unsigned char* status) override {
        const auto handle = reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(connection));
        return RasGetConnectStatusA(handle, reinterpret_cast<LPRASCONNSTATUSA>(status));
    }
};

} // namespace

bool platformIsConnected() {
    Win32Ras ras;
    return firstConnectionIsUp(ras);
}

} // namespace dialup
