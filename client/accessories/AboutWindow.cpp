#include "AboutWindow.h"

#include "AppInfo.h"
#include "Portal.h"
#include "Seams.h"
#include "SysInfo.h"
#include "Twips.h"

#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>

namespace {

QLabel* makeLabel(QWidget* parent, const QRect& place, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// A wrapped text whose last line would fall below its label is drawn smaller,
// as little as it takes; the label keeps its place.
void fitWrappedText(QLabel* label) {
    constexpr int SmallestPixels = 8; // smaller is no longer legible
    QFont font = label->font();
    int pixels = QFontInfo(font).pixelSize();
    while (label->heightForWidth(label->width()) > label->height() && pixels > SmallestPixels) {
        font.setPixelSize(--pixels);
        label->setFont(font);
    }
}

QFrame* makeLine(QWidget* parent, const QRect& place, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setGeometry(place);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, colour);
    line->setPalette(p);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

AboutWindow::AboutWindow(AboutActions actions, QWidget* owner)
    : QDialog(owner), actions_(std::move(actions)) {
    // Closed is unloaded, whichever way it closes.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twips::size(5730, 3555));
    // The controls are sized for the designer's 8.25-point type.
    QFont designFont = font();
    designFont.setPointSizeF(8.25);
    setFont(designFont);

    picIcon = makeLabel(this, twips::rect(240, 240, 540, 540));
    picIcon->setPixmap(app::icon().pixmap(picIcon->size(), devicePixelRatioF()));
    lblTitle = makeLabel(this, twips::rect(1050, 240, 3885, 360));
    lblVersion = makeLabel(this, twips::rect(1080, 600, 1725, 225));

    LabelEmail = makeLabel(this, twips::rect(3480, 600, 2175, 255), portal::webmasterAddress());
    setTextColour(LabelEmail, QColor(0, 0, 255));

    lblDescription = makeLabel(
        this, twips::rect(360, 1080, 4965, 450),
        QStringLiteral("   Orvanta同行协作办公信息系统是上万家旅游企业同时使用的基本业务工具，"
                       "每天有众多的旅行社登陆或使用此系统。"));

    // The picture box draws the border; the text box inside it has none.
    Picture1 = new QFrame(this);
    Picture1->setGeometry(twips::rect(240, 1594, 5175, 739));
    Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Text1 = new QPlainTextEdit(Picture1);
    Text1->setGeometry(twips::rect(4, 0, 5107, 680));
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->document()->setDocumentMargin(1);
    // Its lines are broken where they are meant to break.
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setPlainText(QStringLiteral("   想与全国的同行开展业务互助合作吗？想同时与上万同行对\n"
                                       "话交流吗？想在随时随地管理旅行社的业务吗？想使用强大的\n"
                                       "行业资源数据吗？赶快登陆“Velantrix在线”免费申请！\n"));
    Text1->setReadOnly(true);

    // An etched separator: a grey line over a white one twice as thick.
    Line1[1] = makeLine(this, twips::rect(90, 2445, 5654 - 90, 15), QColor(128, 128, 128));
    Line1[0] = makeLine(this, twips::rect(105, 2460, 5654 - 105, 30), QColor(255, 255, 255));

    lblDisclaimer =
        makeLabel(this, twips::rect(240, 2625, 3630, 825),
                  QStringLiteral("警告:此系统是“Velantrix同行协作网”配套管理客户端软件，"
                                 "若想使用全部功能，请登陆") +
                      portal::rootAddress() + QStringLiteral("申请协作网企业代号及权限......"));
    setTextColour(lblDisclaimer, QColor(0, 0, 128));
    fitWrappedText(lblDisclaimer);

    picIcon->setAccessibleName(app::title());
    Text1->setAccessibleName(QStringLiteral("申请说明"));

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setGeometry(twips::rect(4125, 2625, 1500, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("系统信息(&S)..."), this);
    cmdSysInfo->setGeometry(twips::rect(4140, 3075, 1485, 345));
    cmdSysInfo->setAutoDefault(false);

    connect(cmdOK, &QPushButton::clicked, this, &AboutWindow::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutWindow::cmdSysInfo_Click);
    LabelEmail->installEventFilter(this);
    lblDisclaimer->installEventFilter(this);

    Form_Load();
}

void AboutWindow::Form_Load() {
    setWindowTitle(QStringLiteral("关于 ") + app::title());
    lblVersion->setText(QStringLiteral("版本 ") + app::versionText());
    lblTitle->setText(app::title());
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (watched == LabelEmail)
            LabelEmail_Click();
        else if (watched == lblDisclaimer)
            lblDisclaimer_Click();
    }
    return QDialog::eventFilter(watched, e);
}

void AboutWindow::cmdOK_Click() {
    close();
}

void AboutWindow::cmdSysInfo_Click() {
    StartSysInfo();
}

void AboutWindow::LabelEmail_Click() {
    if (actions_.SendMailTo)
        actions_.SendMailTo(portal::webmasterAddress());
}

void AboutWindow::lblDisclaimer_Click() {
    if (actions_.OpenNewWindow)
        actions_.OpenNewWindow(portal::page(QStringLiteral("tonghang/reginfo.asp")));
}

void AboutWindow::StartSysInfo() {
    const QString program = sysinfo::SysInfoProgram();
    if (program.isEmpty() || !seams::startProgram(program, {}))
        seams::showMessage({QStringLiteral("此时系统信息不可用"), QString(), seams::Buttons::Ok,
                            seams::Icon::None});
}

AboutWindow* showAboutWindow(const AboutActions& actions) {
    static QPointer<AboutWindow> open;
    if (!open)
        open = new AboutWindow(actions);
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}
