#include "ChineseUi.h"

#include "ChromiumFlags.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace chineseui {
namespace {

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
    // Chromium takes its interface language from the command line.
    addChromiumFlag("--lang=", "--lang=zh-CN");
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
