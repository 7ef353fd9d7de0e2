// Qt's own parts of every dialog are Chinese in both programs, under the C
// locale: the texts can only come from the catalogues the programs load.
#include "ChineseUi.h"
#include "GameSeams.h"
#include "Seams.h"
#include "SystemErrorText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cerrno>

namespace {

// The texts of the T children of `dialog`, sorted and joined by commas.
template <typename T> QString textsOf(const QObject& dialog) {
    QStringList texts;
    for (const T* child : dialog.findChildren<T*>())
        texts.append(child->text());
    texts.sort();
    return texts.join(u',');
}

// Runs `ask`, which opens a message box, and returns its button texts,
// closing it with its escape.
template <typename Ask> QString buttonsOfModal(Ask ask) {
    QString texts;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        texts = box ? textsOf<QAbstractButton>(*box) : QStringLiteral("no box");
        if (box)
            box->reject();
    });
    ask();
    return texts;
}

} // namespace

class TestChineseUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(QLocale::system().language(), QLocale::C);
        QCOMPARE(chineseui::install(), QStringList());
        QCOMPARE(QLocale().language(), QLocale::Chinese);
        QCOMPARE(QLocale().territory(), QLocale::China);
        QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--lang=zh-CN"));
    }

    void messageBoxButtonsAreChinese() {
        using B = seams::Buttons;
        const std::pair<B, const char*> cases[] = {
            {B::Ok, "确定"}, {B::OkCancel, "取消,确定"}, {B::YesNo, "否(&N),是(&Y)"}};
        for (const auto& [buttons, texts] : cases)
            QCOMPARE(
                buttonsOfModal([&] {
                    seams::showMessage({"已经在运行中！", {}, buttons, seams::Icon::Exclamation});
                }),
                QString::fromUtf8(texts));
        namespace game = brickvane::seams; // the game's own boxes
        QCOMPARE(buttonsOfModal([] {
                     game::showMessage({"确实要退出吗？", "退出", game::Buttons::OkCancel, {}});
                 }),
                 QStringLiteral("取消,确定"));
    }

    void saveAndColourDialogsAreChinese() {
        QFileDialog save;
        save.setOption(QFileDialog::DontUseNativeDialog);
        save.setAcceptMode(QFileDialog::AcceptSave);
        const auto label = [&](const char* name) { return save.findChild<QLabel*>(name)->text(); };
        QCOMPARE(label("lookInLabel") + '|' + label("fileNameLabel"),
                 QString("查找范围：|文件名称(&N)："));
        const QString buttons = textsOf<QPushButton>(save);
        QVERIFY2(buttons.contains("保存(&S)") && buttons.contains("取消"), qPrintable(buttons));
        QColorDialog colour;
        colour.setOption(QColorDialog::DontUseNativeDialog);
        const QString labels = textsOf<QLabel>(colour);
        QVERIFY2(labels.contains("基本颜色(&B)") && !labels.contains("colors"), qPrintable(labels));
    }

    void systemErrorsAreGivenInChinese() {
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
};

QTEST_MAIN(TestChineseUi)
#include "test_chinese_ui.moc"
