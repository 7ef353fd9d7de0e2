#include "ChineseUi.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace chineseui {
namespace {

// Chromium takes its interface language from the command line; a flag the
// user set himself stays.
void askChromiumForChinese() {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--lang="))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + "--lang=zh-CN");
}

bool loadCatalogue(const QString& name, const QStringList& folders) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : folders) {
        if (translator->load(QLocale(), name, QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator))
            return true;
    }
    delete translator;
    return false;
}

} // namespace

QStringList install() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    askChromiumForChinese();
    // A private copy beside the program (Windows) comes before the system's.
    const QStringList folders{QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/translations"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    QStringList missing;
    for (const QString& name : catalogues()) {
        if (!loadCatalogue(name, folders))
            missing.append(name);
    }
    return missing;
}

} // namespace chineseui
