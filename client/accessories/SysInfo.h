#pragma once

#include "Registry.h"

#include <QString>
#include <functional>

// Finding the platform's system-information tool through the registry.
namespace sysinfo {

// Reads one registry value as text. False, with `text` emptied, when the key
// cannot be opened or the value read (values longer than 1024 bytes included).
// A string loses its terminating zero; a double word reads as hexadecimal.
bool GetKeyValue(registry::Root root, const QString& keyPath, const QString& valueName,
                 QString& text);

using FileExists = std::function<bool(const QString& path)>;

// The tool's path, or "" when the registry names none that exists.
QString SysInfoProgram(const FileExists& fileExists);
QString SysInfoProgram();

} // namespace sysinfo
