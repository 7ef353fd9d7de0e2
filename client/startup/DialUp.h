#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether the dial-up line is up. On Windows the remote-access service is asked
// for its connections; elsewhere the state of the network stands in for it.
namespace dialup {

// Record layouts of the remote-access service's narrow-character interface.
constexpr std::uint32_t ConnectionRecordSize = 412;
constexpr std::uint32_t StatusRecordSize = 160;
constexpr std::uint32_t ConnectionRecords = 256;
constexpr std::uint32_t ConnectedState = 0x2000;

// The two remote-access calls, taking the records as raw bytes.
class RasCalls {
public:
    virtual ~RasCalls() = default;

    virtual std::uint32_t enumConnections(unsigned char* records, std::uint32_t* bufferSize,
                                          std::uint32_t* count) = 0;
    virtual std::uint32_t getConnectStatus(std::uint32_t connection, unsigned char* status) = 0;
};

// True when the first enumerated connection reports the connected state; any
// failing call counts as no connection.
bool firstConnectionIsUp(RasCalls& ras);

// What the network reports where there is no remote-access service.
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

// This platform's answer (remote access on Windows, the network elsewhere).
bool platformIsConnected();

} // namespace dialup
