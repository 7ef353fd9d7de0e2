#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether the line is up. On Windows a connected remote-access connection or
// a working network counts; elsewhere the state of the network alone.
namespace dialup {

// Where the remote-access service's narrow-character records keep what is
// read from them. Sizes and the handle's width differ between 32-bit and
// 64-bit processes and between SDK versions, and the service refuses a size
// it does not know, so the Windows backend takes them from its own SDK.
struct RecordLayout {
    std::uint32_t connectionSize; // one connection record, also its size field
    std::uint32_t handleOffset;   // the connection handle inside it
    std::uint32_t handleSize;     // 4 or 8 bytes
    std::uint32_t statusSize;     // the connection-status record
    std::uint32_t stateOffset;    // the connection state inside that
    bool operator==(const RecordLayout&) const = default;
};

constexpr std::uint32_t ConnectionRecords = 256;
constexpr std::uint32_t ConnectedState = 0x2000;

// The two remote-access calls, taking the records as raw bytes.
class RasCalls {
public:
    virtual ~RasCalls() = default;

    virtual std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                          std::uint32_t* count) = 0;
    virtual std::uint32_t getConnectStatus(std::uint64_t connection, unsigned char* status) = 0;
};

// True when the first enumerated connection reports the connected state; any
// failing call counts as no connection.
bool firstConnectionIsUp(RasCalls& ras, const RecordLayout& layout);

// What the network reports where there is no connected remote-access line.
enum class Reachability { NoBackend, Unknown, Disconnected, Local, Site, Online };

struct InterfaceFacts {
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool hasAddress = false;
};

// A backend that knows tells by full reachability alone; without one, any
// interface that is up, running, not loopback and addressed counts.
bool networkCountsAsConnected(Reachability reachability,
                              const std::vector<InterfaceFacts>& interfaces);

// The reachability a Windows network list manager's connectivity flags stand for.
Reachability reachabilityOfConnectivity(std::uint32_t flags);

// The reachability NetworkManager's overall state (NMState) stands for.
Reachability reachabilityOfManagerState(std::uint32_t state);

// This platform's answer.
bool platformIsConnected();

#ifdef _WIN32
// The records as this build's SDK lays them out.
RecordLayout sdkRecordLayout();
// What the network list manager reports, NoBackend when it cannot be asked.
Reachability listManagerReachability();
// The network adapters as the IP helper lists them.
std::vector<InterfaceFacts> adapterFacts();
#endif

} // namespace dialup
