#include "DialUp.h"

#include <algorithm>
#include <array>

namespace dialup {
namespace {

// The records are little-endian, whatever runs this code.
std::uint32_t readField(const unsigned char* record, std::size_t offset) {
    return std::uint32_t(record[offset]) | std::uint32_t(record[offset + 1]) << 8 |
           std::uint32_t(record[offset + 2]) << 16 | std::uint32_t(record[offset + 3]) << 24;
}

void writeField(unsigned char* record, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        record[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

bool firstConnectionIsUp(RasCalls& ras) {
    std::vector<unsigned char> records(std::size_t(ConnectionRecordSize) * ConnectionRecords, 0);
    writeField(records.data(), 0, ConnectionRecordSize);
    auto bufferSize = static_cast<std::uint32_t>(records.size());
    std::uint32_t count = 0;
    if (ras.enumConnections(records.data(), &bufferSize, &count) != 0)
        return false;

    // With no connection the handle is 0: the status call fails and the state stays 0.
    std::array<unsigned char, StatusRecordSize> status{};
    writeField(status.data(), 0, StatusRecordSize);
    ras.getConnectStatus(readField(records.data(), 4), status.data());
    return readField(status.data(), 4) == ConnectedState;
}

bool networkCountsAsConnected(Reachability reachability,
                              const std::vector<InterfaceFacts>& interfaces) {
    if (reachability != Reachability::NoBackend && reachability != Reachability::Unknown)
        return reachability == Reachability::Online;
    return std::any_of(interfaces.begin(), interfaces.end(), [](const InterfaceFacts& i) {
        return i.up && i.running && !i.loopback && i.hasAddress;
    });
}

} // namespace dialup
