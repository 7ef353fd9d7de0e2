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
// texts, in the order shown, closing it with its escape.
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

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class TestChineseUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(QLocale::system().language(), QLocale::C);
        QCOMPARE(chineseui::install(), QStringList());
    }

    void chineseIsTheDefaultLocale() {
        QCOMPARE(QLocale().language(), QLocale::Chinese);
        QCOMPARE(QLocale().territory(), QLocale::China);
        QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--lang=zh-CN"));
    }

    void clientMessageBoxButtonsAreChinese_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("ok") << int(seams::Buttons::Ok) << QStringList{QStringLiteral("确定")};
        QTest::newRow("ok cancel") << int(seams::Buttons::OkCancel)
                                   << QStringList{QStringLiteral("确定"), QStringLiteral("取消")};
        QTest::newRow("yes no") << int(seams::Buttons::YesNo)
                                << QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")};
    }
    void clientMessageBoxButtonsAreChinese() {
        QFETCH(int, buttons);
        QFETCH(QStringList, texts);
        const QStringList shown = buttonsOfModal([&] {
            seams::showMessage({QStringLiteral("已经在运行中！"), QString(),
                                seams::Buttons(buttons), seams::Icon::Exclamation});
        });
        QCOMPARE(shown, sorted(texts));
    }

    void gameMessageBoxButtonsAreChinese() {
        namespace game = brickvane::seams;
        const QStringList shown = buttonsOfModal([] {
            game::showMessage({QStringLiteral("确实要退出吗？"), QStringLiteral("退出"),
                               game::Buttons::OkCancel, game::Icon::None});
        });
        QCOMPARE(shown, sorted({QStringLiteral("确定"), QStringLiteral("取消")}));
    }

    void saveDialogIsChinese() {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
                 QStringLiteral("查找范围："));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
                 QStringLiteral("文件名称(&N)："));
        QStringList buttons;
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            buttons.append(b->text());
        QVERIFY2(buttons.contains(QStringLiteral("保存(&S)")), qPrintable(buttons.join(u',')));
        QVERIFY2(buttons.contains(QStringLiteral("取消")), qPrintable(buttons.join(u',')));
    }

    void colourDialogIsChinese() {
        QColorDialog dialog;
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        QStringList labels;
        for (QLabel* l : dialog.findChildren<QLabel*>())
            labels.append(l->text());
        QVERIFY2(labels.contains(QStringLiteral("基本颜色(&B)")), qPrintable(labels.join(u',')));
        for (const QString& text : labels)
            QVERIFY2(!text.contains(QLatin1String("colors")), qPrintable(text));
    }

    void systemErrorsAreGivenInChinese_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no permission")
            << EACCES << "Permission denied" << QStringLiteral("没有权限（Permission denied）");
        QTest::newRow("not permitted") << EPERM << "Operation not permitted"
                                       << QStringLiteral("没有权限（Operation not permitted）");
        QTest::newRow("disk full") << ENOSPC << "No space left on device"
                                   << QStringLiteral("磁盘空间不足（No space left on device）");
        QTest::newRow("not found")
            << ENOENT << "No such file or directory"
            << QStringLiteral("找不到文件或文件夹（No such file or directory）");
        QTest::newRow("read-only") << EROFS << "Read-only file system"
                                   << QStringLiteral("文件系统是只读的（Read-only file system）");
        QTest::newRow("rare cause") << EXDEV << "Invalid cross-device link"
                                    << QStringLiteral("系统错误（Invalid cross-device link）");
        QTest::newRow("no detail") << ENOSPC << "  " << QStringLiteral("磁盘空间不足");
    }
    void systemErrorsAreGivenInChinese() {
        QFETCH(int, code);
        QFETCH(QString, system);
        QFETCH(QString, shown);
        QCOMPARE(chineseui::systemErrorText(code, system), shown);
    }
};

QTEST_MAIN(TestChineseUi)
#include "test_chinese_ui.moc"
