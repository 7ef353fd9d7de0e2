#include "ShellLinkMaker.h"

namespace shelllink {

QString StripQuotes(const QString& text) {
    // Spaces only: any other white space belongs to the text.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    const QString trimmed = text.mid(begin, end - begin);
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
        trimmed.endsWith(QLatin1Char('"')))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

shelllink::Outcome MakeShellLink(shelllink::ShellLinkBackend& links, const QString& target,
                                 const QString& folder, const QString& arguments,
                                 const QString& caption, bool perUser, QString& parentToken) {
    std::string token = parentToken.toStdString();
    const shelllink::Outcome outcome = links.createLink(
        folder.toStdString(), StripQuotes(caption).toStdString(), StripQuotes(target).toStdString(),
        arguments.toStdString(), perUser, token);
    parentToken = QString::fromStdString(token);
    return outcome;
}

} // namespace shelllink
