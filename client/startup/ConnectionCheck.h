#pragma once

#include "Registry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The client's shared routines for the dial-up line: is it up, which
// connection is the default, how to start the dialler, what to ask the user.
namespace connection {

// True when the line is up: a fully connected remote-access connection on
// Windows, or a working network connection (on any platform).
bool IsDialUpConnected();

// The default dial-up connection's name, or "".
QString GetDefaultConnection();

// A short string value (up to 254 bytes), or "" on any failure.
QString ReadRegistryString(registry::Root root, const QString& subkey, const QString& valueName);

// The question asked when the line is down.
QString ConnectionQuestion();

enum class DiallerKind { RemoteAccess, NetworkManager };
// Programs and arguments that open the dialler on `connection`, in the order
// to try them: the first one that starts is the dialler.
QList<QStringList> DiallerCommands(DiallerKind kind, const QString& connection);
// This platform's dialler on the default connection.
QList<QStringList> DiallerCommands();

using ConnectionTest = std::function<bool()>;
// Replaces what IsDialUpConnected asks; returns the previous test.
ConnectionTest SetConnectionTest(ConnectionTest test);

} // namespace connection
