#include "SysInfo.h"

#include <QByteArray>
#include <QFileInfo>
#include <algorithm>

namespace sysinfo {
namespace {

std::string toAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

quint32 littleEndianWord(const QByteArray& bytes) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | quint8(bytes.at(i));
    return v;
}

} // namespace

bool GetKeyValue(registry::Root root, const QString& keyPath, const QString& valueName,
                 QString& text) {
    text.clear();
    registry::Calls& reg = registry::calls();
    registry::Handle key = 0;
    // Reading needs no more than read access; asking for more fails for
    // ordinary users under the local-machine root.
    if (reg.openKey(root, toAnsi(keyPath), registry::ReadAccess, &key) != registry::Success)
        return false;

    constexpr std::uint32_t BufferSize = 1024;
    QByteArray buffer(BufferSize, '\0');
    std::uint32_t length = BufferSize;
    std::uint32_t type = 0;
    const registry::Status rc = reg.queryValue(
        key, toAnsi(valueName), &type, reinterpret_cast<unsigned char*>(buffer.data()), &length);
    reg.closeKey(key);
    if (rc != registry::Success)
        return false;

    buffer.truncate(std::min(length, BufferSize));
    if (type == registry::TypeDword && buffer.size() >= 4) {
        text = QString::number(littleEndianWord(buffer), 16).toUpper();
    } else if (type == registry::TypeString) {
        if (buffer.endsWith('\0'))
            buffer.chop(1);
        text = QString::fromLocal8Bit(buffer);
    }
    return true;
}

QString SysInfoProgram(const FileExists& fileExists) {
    constexpr auto Root = registry::Root::LocalMachine;
    QString found;
    if (GetKeyValue(Root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), found))
        return found;
    if (GetKeyValue(Root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), found)) {
        const QString program = found + QStringLiteral("\\MSINFO32.EXE");
        if (fileExists(program))
            return program;
    }
    return {};
}

QString SysInfoProgram() {
    return SysInfoProgram([](const QString& path) { return QFileInfo::exists(path); });
}

} // namespace sysinfo
