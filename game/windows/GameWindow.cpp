#include "GameWindow.h"

#include "CompactLabel.h"
#include "GameAboutBox.h"
#include "GameLook.h"
#include "GameOverDialog.h"
#include "GameSeams.h"
#include "GameTexts.h"
#include "GameTwips.h"
#include "KeyMap.h"
#include "SettingsWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <cmath>

namespace brickvane {

namespace {

namespace t = texts::game_window;

// The designed window is this much larger than its client area (frame,
// caption and menu bar); the outer sizes NewGame sets are kept against it.
constexpr double FrameWidth = 90;
constexpr double FrameHeight = 660;
constexpr double DesignedClientWidth = 4545;
constexpr double DesignedClientHeight = 4935;

QString InAppFolder(const Engine& engine, const char* file) {
    return QString::fromStdString(engine.AppFolder()) + QLatin1String(file);
}

} // namespace

GameWindow::GameWindow(QWidget* parent) : QMainWindow(parent), Timer1(this) {
    engine_.SetAppFolder(QCoreApplication::applicationDirPath().toStdString());
    SetSoundSink(&waveSounds_);
    engine_.YouDie = [this] { YouDie(); };
    engine_.FocusBoard = [this] { Picture1->setFocus(); };

    setWindowTitle(t::Title());
    setWindowIcon(QIcon(InAppFolder(engine_, "Brickvane.png")));
    setFont(look::SongTi());

    client_ = new QWidget(this);
    setCentralWidget(client_);
    BuildControls(client_);
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    outerTwips_ = {DesignedClientWidth + FrameWidth, DesignedClientHeight + FrameHeight};
    ApplyOuterSize();

    // Idle until the player starts a game: the timer is set up, not started.
    Timer1.setInterval(TickPeriod);
    connect(&Timer1, &QTimer::timeout, this, &GameWindow::Timer1_Timer);

    // The window sees every key before its controls do, and the picture's clicks.
    qApp->installEventFilter(this);
}

// The arrows on the move buttons say nothing read aloud; the values are read
// with their captions.
void GameWindow::NameForScreenReaders() {
    Picture1->setAccessibleName(t::BoardName());
    Picture2->setAccessibleName(t::PreviewName());
    Picture1->setAccessibleDescription(Picture1->StateText());
    Picture2->setAccessibleDescription(Picture2->StateText());
    CmdLeft->setAccessibleName(t::CmdLeftName());
    CmdRevert->setAccessibleName(t::CmdRevertName());
    CmdRight->setAccessibleName(t::CmdRightName());
    CmdDown->setAccessibleName(t::CmdDownName());
    Label3->setBuddy(LabelLevel);
    Label4->setBuddy(LabelScore);
}

void GameWindow::BuildControls(QWidget* client) {
    Picture1 = new CellBox(engine_, CellBox::Kind::Board, client);
    twips::place(Picture1, 30, 30, 2480, 4875);
    Picture1->SetBackColor(QApplication::palette().color(QPalette::WindowText));
    Picture1->setFocusPolicy(Qt::ClickFocus);

    Picture2 = new CellBox(engine_, CellBox::Kind::Preview, client);
    twips::place(Picture2, 2790, 420, 1305, 1305);
    Picture2->SetBackColor(QApplication::palette("QMenu").color(QPalette::WindowText));

    const auto label = [client](const QString& text, const QRectF& where) {
        auto* l = new QLabel(text, client);
        twips::place(l, where);
        return l;
    };
    LabNext = label(t::LabNext(), {2955, 75, 1050, 270});
    LabNext->setFont(look::SongTi(12, true));
    look::SetTextColour(LabNext, QColor(192, 64, 0));
    // Lower than the CJK face's line: drawn to fit rather than clipped.
    const auto smallLabel = [client](const QString& text, const QRectF& where) {
        auto* l = new CompactLabel(text, client);
        twips::place(l, where);
        return l;
    };
    Label3 = smallLabel(t::Label3(), {2895, 1965, 375, 195});
    LabelLevel = label(QString(), {3315, 1905, 675, 315});
    Label4 = smallLabel(t::Label4(), {2895, 2325, 375, 195});
    LabelScore = label(QString(), {3315, 2265, 675, 315});
    for (QLabel* value : {LabelLevel, LabelScore}) {
        value->setFont(look::SongTi(10.5, true));
        look::SetTextColour(value, Qt::blue);
    }

    const auto button = [client](const QString& text, const QRectF& where) {
        auto* b = new QPushButton(text, client);
        twips::place(b, where);
        b->setEnabled(false);
        return b;
    };
    CmdLeft = button(t::CmdLeft(), {2805, 2715, 435, 375});
    CmdRevert = button(t::CmdRevert(), {3285, 2715, 435, 375});
    CmdRight = button(t::CmdRight(), {3765, 2715, 435, 375});
    CmdDown = button(t::CmdDown(), {3285, 3135, 435, 375});
    connect(CmdLeft, &QPushButton::clicked, this, &GameWindow::CmdLeft_Click);
    connect(CmdRevert, &QPushButton::clicked, this, &GameWindow::CmdRevert_Click);
    connect(CmdRight, &QPushButton::clicked, this, &GameWindow::CmdRight_Click);
    connect(CmdDown, &QPushButton::clicked, this, &GameWindow::CmdDown_Click);

    NameForScreenReaders();

    Picture3 = label(QString(), {2650, 3560, 1815, 1400});
    Picture3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture3->setPixmap(QPixmap(InAppFolder(engine_, "Picture3.gif")));
    // A wide board reaches over the picture, which keeps its place: the board stays on top.
    Picture1->raise();

    look::NameControls({{Picture1, "Picture1"},
                        {Picture2, "Picture2"},
                        {LabNext, "LabNext"},
                        {Label3, "Label3"},
                        {LabelLevel, "LabelLevel"},
                        {Label4, "Label4"},
                        {LabelScore, "LabelScore"},
                        {CmdLeft, "CmdLeft"},
                        {CmdRevert, "CmdRevert"},
                        {CmdRight, "CmdRight"},
                        {CmdDown, "CmdDown"},
                        {Picture3, "Picture3"},
                        {&Timer1, "Timer1"}});
}

void GameWindow::BuildMenus() {
    MnuFile = menuBar()->addMenu(t::MnuFile());
    cmdStart = MnuFile->addAction(t::CmdStart());
    cmdStart->setShortcut(Qt::Key_F2);
    dot = MnuFile->addSeparator();
    cmdexit = MnuFile->addAction(t::CmdExit());
    cmdexit->setShortcut(Qt::Key_F5);
    cmdSetting = menuBar()->addAction(t::CmdSetting());
    CmdPause = menuBar()->addAction(t::CmdPause());
    CmdPause->setEnabled(false);
    about = menuBar()->addMenu(t::About());
    cmdhelp = about->addAction(t::CmdHelp());
    cmdhelp->setShortcut(Qt::Key_F1);

    connect(cmdStart, &QAction::triggered, this, &GameWindow::cmdStart_Click);
    connect(cmdexit, &QAction::triggered, this, &GameWindow::cmdexit_Click);
    connect(cmdSetting, &QAction::triggered, this, &GameWindow::cmdSetting_Click);
    connect(CmdPause, &QAction::triggered, this, &GameWindow::CmdPause_Click);
    connect(cmdhelp, &QAction::triggered, this, &GameWindow::cmdhelp_Click);
}

void GameWindow::ApplyOuterSize() {
    client_->setFixedSize(
        twips::size(outerTwips_.width() - FrameWidth, outerTwips_.height() - FrameHeight));
    layout()->activate();
}

void GameWindow::SetSoundSink(SoundSink* sink) {
    sound_ = sink;
    engine_.SetSoundSink(sink);
}

void GameWindow::SetBoardBackColor(const QColor& colour) {
    Picture1->SetBackColor(colour);
    Picture2->SetBackColor(colour);
}

void GameWindow::SetButtonsEnabled(bool enabled) {
    for (QPushButton* b : {CmdLeft, CmdRight, CmdRevert, CmdDown})
        b->setEnabled(enabled);
}

void GameWindow::RefreshView() {
    if (engine_.Revision() == shownRevision_)
        return;
    shownRevision_ = engine_.Revision();
    LabelLevel->setText(QString::fromStdString(engine_.LabelLevelText()));
    LabelScore->setText(QString::fromStdString(engine_.LabelScoreText()));
    Picture1->Sync();
    Picture2->Sync();
}

// ---- Starting, resuming, ending ----

bool GameWindow::NewGame() {
    const bool rebuilt = engine_.NewGame();
    ResizeToBoard();
    SetButtonsEnabled(true);
    CmdPause->setEnabled(true);
    CmdPause->setText(t::CmdPause());
    Timer1.start();
    RefreshView();
    return rebuilt;
}

void GameWindow::ResizeToBoard() {
    QRectF board = twips::placeOf(Picture1);
    const double width = engine_.BuiltCols() * CellPitch + 80;
    const double delta = std::round(width - board.width());
    board.setWidth(width);
    board.setHeight((engine_.BuiltRows() - HiddenRows) * CellPitch + 75);
    twips::place(Picture1, board);
    outerTwips_ = {board.width() + 2155, board.height() + 720};

    for (QWidget* w :
         std::initializer_list<QWidget*>{CmdDown, CmdLeft, CmdRight, CmdRevert, LabNext, Label3,
                                         Label4, LabelLevel, LabelScore, Picture2})
        twips::place(w, twips::placeOf(w).translated(delta, 0));
    ApplyOuterSize();
}

void GameWindow::ResumeGame() {
    Timer1.start();
    CmdPause->setText(t::CmdPause());
    SetButtonsEnabled(true);
}

void GameWindow::YouDie() {
    RefreshView(); // the landing that ended the game is on the board behind the dialog
    GameOverDialog gameOver(*this);
    gameOver.exec();
}

// ---- Moves ----

void GameWindow::CmdLeft_Click() {
    engine_.MoveLeft();
    RefreshView();
}

void GameWindow::CmdRight_Click() {
    engine_.MoveRight();
    RefreshView();
}

void GameWindow::CmdDown_Click() {
    engine_.StepDown();
    RefreshView();
}

void GameWindow::CmdRevert_Click() {
    engine_.QuarterTurn();
    RefreshView();
}

void GameWindow::Drop() {
    engine_.Drop();
    RefreshView();
}

void GameWindow::Timer1_Timer() {
    engine_.Tick();
    RefreshView();
}

// ---- Keyboard ----

bool GameWindow::Form_KeyDown(int keyCode) {
    if (keyCode == 0)
        return false;
    const bool running = CmdLeft->isEnabled();
    if (keyCode == vk::F3)
        cmdSetting_Click();
    else if (keyCode == vk::Escape)
        showMinimized(); // the boss key; Form_Resize stops the timer
    else if (keyCode == engine_.KeyLeft && running)
        CmdLeft_Click();
    else if (keyCode == engine_.KeyRight && running)
        CmdRight_Click();
    else if (keyCode == engine_.KeyDrop && running)
        Drop();
    else if (keyCode == engine_.KeyStep)
        CmdDown_Click();
    else if (keyCode == engine_.KeyRotate && running)
        CmdRevert_Click();
    else if ((keyCode == vk::Pause || keyCode == vk::F4) && engine_.GameExists()) {
        CmdPause->setEnabled(true);
        CmdPause_Click();
    } else
        return false;
    return true;
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys of an open menu and Alt combinations belong to the menus.
        const bool forMenus = qobject_cast<QMenuBar*>(widget) != nullptr ||
                              key->modifiers().testFlag(Qt::AltModifier);
        if (widget->window() == this && !forMenus &&
            Form_KeyDown(VirtualKeyOf(key->key(), key->modifiers())))
            return true;
    } else if (watched == Picture3 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Picture3->rect().contains(mouse->position().toPoint()))
            Picture3_Click();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Window and menus ----

void GameWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void GameWindow::Form_Resize() {
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        Timer1.stop();
    else if (!(state & (Qt::WindowMaximized | Qt::WindowFullScreen)) && engine_.GameExists() &&
             CmdLeft->isEnabled())
        Timer1.start();
}

void GameWindow::CmdPause_Click() {
    if (CmdLeft->isEnabled()) {
        Timer1.stop();
        SetButtonsEnabled(false);
        CmdPause->setText(t::CmdContinue());
    } else {
        Timer1.start();
        SetButtonsEnabled(true);
        CmdPause->setText(t::CmdPause());
    }
}

void GameWindow::cmdStart_Click() {
    cmdStart->setText(t::CmdRestart());
    NewGame();
}

void GameWindow::cmdexit_Click() {
    const seams::Answer answer = seams::showMessage(
        {t::ExitQuestion(), t::ExitTitle(), seams::Buttons::OkCancel, seams::Icon::Information});
    if (answer == seams::Answer::Ok)
        close();
}

void GameWindow::cmdSetting_Click() {
    Timer1.stop();
    SettingsWindow settings(*this);
    settings.exec();
}

void GameWindow::cmdhelp_Click() {
    Timer1.stop();
    GameAboutBox box(*this);
    box.exec();
}

void GameWindow::Picture3_Click() {
    seams::showMessage({t::Welcome(), t::Title(), seams::Buttons::Ok, seams::Icon::None});
}

} // namespace brickvane
