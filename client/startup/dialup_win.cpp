// The line counts as up when the first remote-access connection is connected
// or when Windows reports a working network: few desktops still dial.

#ifndef NOMINMAX
#define NOMINMAX
#endif

#include "DialUp.h"

#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>
#include <netlistmgr.h>
#include <objbase.h>
#include <ras.h>

#include "com_scope_win.h"

#include <cstddef>

namespace dialup {
namespace {

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

    std::uint32_t getConnectStatus(std::uint64_t connection, unsigned char* status) override {
        const auto handle = reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(connection));
        return RasGetConnectStatusA(handle, reinterpret_cast<LPRASCONNSTATUSA>(status));
    }
};

} // namespace

RecordLayout sdkRecordLayout() {
    return {sizeof(RASCONNA), offsetof(RASCONNA, hrasconn), sizeof(HRASCONN),
            sizeof(RASCONNSTATUSA), offsetof(RASCONNSTATUSA, rasconnstate)};
}

Reachability listManagerReachability() {
    ComScope com;
    INetworkListManager* manager = nullptr;
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL,
                                IID_INetworkListManager, reinterpret_cast<void**>(&manager))))
        return Reachability::NoBackend;
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    const HRESULT hr = manager->GetConnectivity(&connectivity);
    manager->Release();
    return SUCCEEDED(hr) ? reachabilityOfConnectivity(static_cast<std::uint32_t>(connectivity))
                         : Reachability::NoBackend;
}

std::vector<InterfaceFacts> adapterFacts() {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list can grow between asking for its size and reading it.
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG rc = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
        ULONG size = static_cast<ULONG>(buffer.size());
        rc = GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
        if (rc == ERROR_BUFFER_OVERFLOW)
            buffer.resize(size);
    }
    std::vector<InterfaceFacts> facts;
    if (rc != ERROR_SUCCESS)
        return facts;
    for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
        const bool up = a->OperStatus == IfOperStatusUp;
        facts.push_back(
            {up, up, a->IfType == IF_TYPE_SOFTWARE_LOOPBACK, a->FirstUnicastAddress != nullptr});
    }
    return facts;
}

bool platformIsConnected() {
    Win32Ras ras;
    if (firstConnectionIsUp(ras, sdkRecordLayout()))
        return true;
    const Reachability reachability = listManagerReachability();
    // The adapters are only listed when the list manager cannot tell.
    if (reachability != Reachability::NoBackend && reachability != Reachability::Unknown)
        return reachability == Reachability::Online;
    return networkCountsAsConnected(reachability, adapterFacts());
}

} // namespace dialup
