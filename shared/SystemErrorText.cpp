#include "SystemErrorText.h"

#include <cerrno>

namespace chineseui {
namespace {

QString causeOf(int code) {
    switch (code) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有权限");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("磁盘空间不足");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("找不到文件或文件夹");
    case EROFS:
        return QStringLiteral("文件系统是只读的");
    case EEXIST:
        return QStringLiteral("文件已经存在");
    case EISDIR:
        return QStringLiteral("这是一个文件夹");
    case EIO:
        return QStringLiteral("读写设备出错");
    default:
        return QStringLiteral("系统错误");
    }
}

} // namespace

QString systemErrorText(int code, const QString& systemText) {
    const QString cause = causeOf(code);
    const QString detail = systemText.trimmed();
    if (detail.isEmpty())
        return cause;
    return cause + QStringLiteral("（") + detail + QStringLiteral("）");
}

} // namespace chineseui
