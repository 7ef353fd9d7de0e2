#include "SysInfo.h"

#include <QFileInfo>

namespace sysinfo {
namespace {

std::string toAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

quint32 littleEndianWord(const std::string& bytes) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | quint8(bytes[i]);
    return v;
}

} // namespace

bool GetKeyValue(registry::Root root, const QString& keyPath, const QString& valueName,
                 QString& text) {
    text.clear();
    registry::Value value;
    // Reading needs no more than read access; asking for more fails for
    // ordinary users under the local-machine root.
    if (!registry::readValue(registry::calls(), root, toAnsi(keyPath), toAnsi(valueName),
                             registry::ReadAccess, 1024, value))
        return false;
    if (value.type == registry::TypeDword && value.bytes.size() >= 4)
        text = QString::number(littleEndianWord(value.bytes), 16).toUpper();
    else if (value.type == registry::TypeString)
        text = QString::fromLocal8Bit(registry::stringText(value.bytes));
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
