#include "DialUp.h"

#include <algorithm>

namespace dialup {
namespace {

// The records are little-endian, whatever runs this code.
std::uint64_t readField(const std::vector<unsigned char>& record, std::size_t offset,
                        std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size && offset + i < record.size(); ++i)
        value |= std::uint64_t(record[offset + i]) << (8 * i);
    return value;
}

void writeSize(std::vector<unsigned char>& record, std::uint32_t value) {
    for (std::size_t i = 0; i < 4 && i < record.size(); ++i)
        record[i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

bool firstConnectionIsUp(RasCalls& ras, const RecordLayout& layout) {
    std::vector<unsigned char> records(std::size_t(layout.connectionSize) * ConnectionRecords, 0);
    writeSize(records, layout.connectionSize);
    auto bufferSize = static_cast<std::uint32_t>(records.size());
    std::uint32_t count = 0;
    if (ras.enumConnections(records.data(), &bufferSize, &count) != 0)
        return false;

    // With no connection the handle is 0: the status call fails and the state stays 0.
    std::vector<unsigned char> status(layout.statusSize, 0);
    writeSize(status, layout.statusSize);
    ras.getConnectStatus(readField(records, layout.handleOffset, layout.handleSize), status.data());
    return readField(status, layout.stateOffset, 4) == ConnectedState;
}

bool networkCountsAsConnected(Reachability reachability,
                              const std::vector<InterfaceFacts>& interfaces) {
    if (reachability != Reachability::NoBackend && reachability != Reachability::Unknown)
        return reachability == Reachability::Online;
    return std::any_of(interfaces.begin(), interfaces.end(), [](const InterfaceFacts& i) {
        return i.up && i.running && !i.loopback && i.hasAddress;
    });
}

Reachability reachabilityOfConnectivity(std::uint32_t flags) {
    // IPv4 and IPv6 flags: internet 0x40/0x400, a routed local network
    // 0x20/0x200, the own subnet 0x10/0x100, no traffic 0x1/0x2.
    if (flags & 0x440)
        return Reachability::Online;
    if (flags & 0x220)
        return Reachability::Site;
    if (flags & 0x110)
        return Reachability::Local;
    return flags == 0 ? Reachability::Disconnected : Reachability::Unknown;
}

Reachability reachabilityOfManagerState(std::uint32_t state) {
    switch (state) {
    case 20: // disconnected
    case 30: // disconnecting: no point in starting anything
        return Reachability::Disconnected;
    case 50: // connected, to the machine's own subnet only
        return Reachability::Local;
    case 60: // connected, to routed networks but not the internet
        return Reachability::Site;
    case 70: // connected globally
        return Reachability::Online;
    default: // unknown (0), asleep (10), connecting (40)
        return Reachability::Unknown;
    }
}

} // namespace dialup
