#include "Module1.h"

#include "DialUp.h"
#include "Portal.h"

#include <QByteArray>
#include <algorithm>

namespace Module1 {
namespace {

ConnectionTest& connectionTest() {
    static ConnectionTest test = dialup::platformIsConnected;
    return test;
}

// Registry text is in the system's ANSI code page, which is the local 8-bit
// encoding wherever a registry exists.
std::string toAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

bool IsDialUpConnected() {
    return connectionTest()();
}

ConnectionTest SetConnectionTest(ConnectionTest test) {
    ConnectionTest previous = std::move(connectionTest());
    connectionTest() = test ? std::move(test) : ConnectionTest(dialup::platformIsConnected);
    return previous;
}

QString ReadRegistryString(registry::Root root, const QString& subkey, const QString& valueName) {
    constexpr std::uint32_t BufferSize = 255;
    QByteArray buffer(BufferSize, ' ');
    std::uint32_t length = BufferSize;
    std::uint32_t type = 0;

    registry::Calls& reg = registry::calls();
    registry::Handle key = 0;
    const bool opened =
        reg.openKey(root, toAnsi(subkey), registry::QueryValueAccess, &key) == registry::Success;
    // An unopened key makes the query fail, which answers "".
    const registry::Status rc = reg.queryValue(
        key, toAnsi(valueName), &type, reinterpret_cast<unsigned char*>(buffer.data()), &length);
    if (opened)
        reg.closeKey(key);
    if (rc != registry::Success || length == 0)
        return {};

    buffer.truncate(std::min(length, BufferSize));
    // The length counts the terminating zero when there is one.
    if (buffer.endsWith('\0'))
        buffer.chop(1);
    return QString::fromLocal8Bit(buffer);
}

QString GetDefaultConnection() {
    return ReadRegistryString(registry::Root::CurrentUser, QStringLiteral("RemoteAccess"),
                              QStringLiteral("Default"));
}

QString ConnectionQuestion() {
    return QStringLiteral("正在与") + portal::host() + QStringLiteral("服务器握手......") +
           QStringLiteral("\n\r\n\r") +
           QStringLiteral("╳,你还没有连接到网上，请先连到网上再试！现在连接(Y/N)");
}

QStringList DiallerCommand(DiallerKind kind, const QString& connection) {
    if (kind == DiallerKind::NetworkManager)
        return {QStringLiteral("nm-connection-editor")};
    QStringList command{QStringLiteral("rundll"), QStringLiteral("rnaui.dll,RnaDial")};
    // An empty name stays off the command line rather than turning into "".
    if (!connection.isEmpty())
        command << connection;
    return command;
}

QStringList DiallerCommand() {
#ifdef Q_OS_WIN
    return DiallerCommand(DiallerKind::RemoteAccess, GetDefaultConnection());
#else
    return DiallerCommand(DiallerKind::NetworkManager, GetDefaultConnection());
#endif
}

} // namespace Module1
