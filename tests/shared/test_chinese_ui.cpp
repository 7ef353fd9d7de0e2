// Qt's own parts of every dialog are Chinese in both programs, under the C
// locale: the texts can only come from the catalogues the programs load. And
// Han text takes a Chinese face, as the programs start their application.
#include "ChineseUi.h"
#include "DesktopSession.h"
#include "GameSeams.h"
#include "Seams.h"
#include "SystemErrorText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGlyphRun>
#include <QMessageBox>
#include <QProcess>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <cerrno>

namespace {

// Runs `ask`, which opens a message box, and returns its button texts,
// sorted and joined by commas, closing it with its escape.
template <typename Ask> QString buttonsOfModal(Ask ask) {
    QStringList texts{QStringLiteral("no box")};
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts.clear();
            for (const QAbstractButton* button : box->buttons())
                texts << button->text();
            box->reject();
        }
    });
    ask();
    texts.sort();
    return texts.join(u',');
}

} // namespace

class TestChineseUi : public QObject {
    Q_OBJECT

private slots:
    // Set up under the C locale; then Orvanta's message boxes with each set of
    // buttons, the game's own, and the system's error texts.
    void messageBoxesAndSystemErrorsAreChinese() {
        QCOMPARE(QLocale::system().language(), QLocale::C);
        QCOMPARE(chineseui::install(), QStringList());
        QCOMPARE(QLocale().name(), "zh_CN");
        QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--lang=zh-CN"));

        const auto client = [](seams::Buttons buttons) {
            return buttonsOfModal([buttons] {
                seams::showMessage({"已经在运行中！", {}, buttons, seams::Icon::Exclamation});
            });
        };
        namespace game = brickvane::seams;
        QCOMPARE(client(seams::Buttons::Ok) + '|' + client(seams::Buttons::OkCancel) + '|' +
                     client(seams::Buttons::YesNo) + '|' + buttonsOfModal([] {
                         game::showMessage({"确实要退出吗？", "退出", game::Buttons::OkCancel, {}});
                     }),
                 QStringLiteral("确定|取消,确定|否(&N),是(&Y)|取消,确定"));

        const std::tuple<int, const char*, const char*> cases[] = {
            {EACCES, "Permission denied", "没有权限（Permission denied）"},
            {EPERM, "Operation not permitted", "没有权限（Operation not permitted）"},
            {ENOSPC, "No space left on device", "磁盘空间不足（No space left on device）"},
            {ENOENT, "No such file or directory",
             "找不到文件或文件夹（No such file or directory）"},
            {EROFS, "Read-only file system", "文件系统是只读的（Read-only file system）"},
            {EXDEV, "Invalid cross-device link", "系统错误（Invalid cross-device link）"},
            {ENOSPC, "  ", "磁盘空间不足"}}; // no detail
        for (const auto& [code, system, shown] : cases)
            QCOMPARE(chineseui::systemErrorText(code, system), QString::fromUtf8(shown));
    }

    // The face fontconfig itself gives Chinese text, not the one the C locale
    // would leave (the first CJK face installed: Japanese with Noto); and
    // programs started later keep their own language.
    void hanTextTakesAChineseFace() {
        QProcess fcMatch;
        fcMatch.start("fc-match", {"-f", "%{family[0]}", "sans-serif:lang=zh-cn"});
        QVERIFY(fcMatch.waitForFinished());
        QTextLayout layout(QStringLiteral("系统设置"), QApplication::font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QCOMPARE(layout.glyphRuns().value(0).rawFont().familyName(),
                 QString::fromUtf8(fcMatch.readAllStandardOutput()));
        QVERIFY(!qEnvironmentVariableIsSet("FC_LANG"));
    }
};

int main(int argc, char* argv[]) {
    desktopsession::prepare();
    QApplication app(argc, argv);
    desktopsession::applicationMade();
    TestChineseUi test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_chinese_ui.moc"
