#include "SiteName.h"

#include <QList>
#include <QStringList>
#include <algorithm>

namespace sitename {
namespace {

// Scripts that mix in one label by custom: Chinese, Japanese and Korean
// writing with Latin letters and one another.
bool mixesByCustom(const QList<QChar::Script>& scripts) {
    static const QList<QChar::Script> east = {QChar::Script_Latin,    QChar::Script_Han,
                                              QChar::Script_Hiragana, QChar::Script_Katakana,
                                              QChar::Script_Bopomofo, QChar::Script_Hangul};
    const bool allEast = std::all_of(scripts.begin(), scripts.end(),
                                     [](QChar::Script s) { return east.contains(s); });
    const bool japanese =
        scripts.contains(QChar::Script_Hiragana) || scripts.contains(QChar::Script_Katakana);
    const int others = int(scripts.contains(QChar::Script_Bopomofo)) +
                       int(scripts.contains(QChar::Script_Hangul)) + int(japanese);
    return allEast && others <= 1;
}

// Cyrillic and Greek letters a reader takes for Latin ones.
bool looksLatin(char32_t c) {
    static const std::u32string lookalikes = U"аеорсухіјѕԁһӏԛԝьвкмнтгпѵӀԍ" // Cyrillic
                                             U"αοκνρτυχιεβηζμ";            // Greek
    return lookalikes.find(c) != std::u32string::npos;
}

bool plainLabel(const QString& label) {
    QList<QChar::Script> scripts;
    bool allLookLatin = true;
    for (char32_t c : label.toUcs4()) {
        const bool letterOrDigit = QChar::isLetterOrNumber(c) || QChar::isMark(c);
        if (!letterOrDigit && c != U'-')
            return false;
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Common || script == QChar::Script_Inherited)
            continue;
        if (!scripts.contains(script))
            scripts.append(script);
        allLookLatin = allLookLatin && looksLatin(c);
    }
    if (scripts.size() > 1)
        return mixesByCustom(scripts);
    const bool latinLookalikeScript =
        !scripts.isEmpty() &&
        (scripts.front() == QChar::Script_Cyrillic || scripts.front() == QChar::Script_Greek);
    return !(latinLookalikeScript && allLookLatin);
}

bool isUnwanted(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Other_NotAssigned || category == QChar::Other_Surrogate ||
           category == QChar::Other_PrivateUse;
}

QString cleanTitle(const QString& title) {
    QString out;
    bool blank = false;
    for (char32_t c : title.toUcs4()) {
        if (QChar::isSpace(c) || QChar::category(c) == QChar::Separator_Line ||
            QChar::category(c) == QChar::Separator_Paragraph) {
            blank = !out.isEmpty();
            continue;
        }
        if (isUnwanted(c))
            continue;
        if (blank)
            out += QLatin1Char(' ');
        blank = false;
        out += QString::fromUcs4(&c, 1);
    }
    const QList<uint> chars = out.toUcs4();
    if (chars.size() <= MaxTitle)
        return out;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), MaxTitle - 1) +
           QChar(0x2026);
}

} // namespace

QString host(const QString& host) {
    const QByteArray ace = QUrl::toAce(host);
    if (ace.isEmpty())
        return host;
    QStringList shown;
    for (const QByteArray& label : ace.split('.')) {
        const QString unicode = QUrl::fromAce(label, QUrl::IgnoreIDNWhitelist);
        shown.append(plainLabel(unicode) ? unicode : QString::fromLatin1(label));
    }
    return shown.join(QLatin1Char('.'));
}

QString of(const QUrl& url) {
    if (url.host().isEmpty())
        return {};
    const QString shown = host(url.host());
    const QString named =
        url.host().contains(QLatin1Char(':')) ? QLatin1Char('[') + shown + QLatin1Char(']') : shown;
    return url.port() < 0 ? named : named + QLatin1Char(':') + QString::number(url.port());
}

QString address(const QUrl& url) {
    QString shown = url.toDisplayString();
    const QString decoded = url.host();
    if (!decoded.isEmpty()) {
        const qsizetype at = shown.indexOf(QLatin1String("//") + decoded);
        if (at >= 0)
            shown.replace(at + 2, decoded.size(), host(decoded));
    }
    return shown;
}

QString caption(const QUrl& url, const QString& title) {
    const QString site = of(url);
    const QString cleaned = cleanTitle(title);
    if (site.isEmpty())
        return cleaned;
    return cleaned.isEmpty() ? site : site + QStringLiteral(" - ") + cleaned;
}

} // namespace sitename
