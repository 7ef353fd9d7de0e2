#include "ConnectionCheck.h"

#include "DialUp.h"
#include "Portal.h"

#include <QByteArray>

namespace connection {
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
    registry::Value value;
    if (!registry::readValue(registry::calls(), root, toAnsi(subkey), toAnsi(valueName),
                             registry::QueryValueAccess, 255, value))
        return {};
    return QString::fromLocal8Bit(registry::stringText(value.bytes));
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

QList<QStringList> DiallerCommands(DiallerKind kind, const QString& connection) {
    if (kind == DiallerKind::NetworkManager)
        return {{QStringLiteral("nm-connection-editor")}};
    // The designed dialler exists only on the old consumer Windows; every NT
    // Windows opens the same dialog for a named connection through rasphone.
    QStringList designed{QStringLiteral("rundll"), QStringLiteral("rnaui.dll,RnaDial")};
    QStringList phonebook{QStringLiteral("rasphone")};
    // An empty name stays off the command line rather than turning into "".
    if (!connection.isEmpty()) {
        designed << connection;
        phonebook << QStringLiteral("-d") << connection;
    }
    return {designed, phonebook};
}

QList<QStringList> DiallerCommands() {
#ifdef Q_OS_WIN
    return DiallerCommands(DiallerKind::RemoteAccess, GetDefaultConnection());
#else
    return DiallerCommands(DiallerKind::NetworkManager, QString());
#endif
}

} // namespace connection
