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
#include <functional>

namespace {

// Runs `ask`, which opens a modal dialog, and returns the dialog's button
// texts, sorted, closing it with its escape.
QStringList buttonsOfModal(const std::function<void()>& ask) {
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        for (QAbstractButton* b : box->buttons())
            texts.append(b->text());
        box->reject();
    });
    poll.start(20);
    ask();
    texts.sort();
    return texts;
}

template <typename T> QStringList textsOf(const QObject& dialog) {
    QStringList texts;
    for (const T* child : dialog.findChildren<T*>())
        texts.append(child->text());
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
        const std::pair<B, QStringList> cases[] = {
            {B::Ok, {"确定"}}, {B::OkCancel, {"取消", "确定"}}, {B::YesNo, {"否(&N)", "是(&Y)"}}};
        for (const auto& [buttons, texts] : cases)
            QCOMPARE(buttonsOfModal([&] {
                         seams::showMessage(
                             {"已经在运行中！", QString(), buttons, seams::Icon::Exclamation});
                     }),
                     texts);
        namespace game = brickvane::seams; // the game's own boxes
        QCOMPARE(buttonsOfModal([] {
                     game::showMessage(
                         {"确实要退出吗？", "退出", game::Buttons::OkCancel, game::Icon::None});
                 }),
                 QStringList({"取消", "确定"}));
    }

    void saveAndColourDialogsAreChinese() {
        QFileDialog save;
        save.setOption(QFileDialog::DontUseNativeDialog);
        save.setAcceptMode(QFileDialog::AcceptSave);
        const auto label = [&](const char* name) { return save.findChild<QLabel*>(name)->text(); };
        QCOMPARE(label("lookInLabel") + '|' + label("fileNameLabel"),
                 QString("查找范围：|文件名称(&N)："));
        const QStringList buttons = textsOf<QPushButton>(save);
        QVERIFY2(buttons.contains("保存(&S)") && buttons.contains("取消"),
                 qPrintable(buttons.join(u',')));

        QColorDialog colour;
        colour.setOption(QColorDialog::DontUseNativeDialog);
        const QString colourLabels = textsOf<QLabel>(colour).join(u',');
        QVERIFY2(colourLabels.contains("基本颜色(&B)") && !colourLabels.contains("colors"),
                 qPrintable(colourLabels));
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
            {ENOSPC, "  ", "磁盘空间不足"}, // no detail
        };
        for (const auto& [code, system, shown] : cases)
            QCOMPARE(chineseui::systemErrorText(code, system), QString::fromUtf8(shown));
    }
};

QTEST_MAIN(TestChineseUi)
#include "test_chinese_ui.moc"
