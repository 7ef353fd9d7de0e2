#include "SettingsWindow.h"

#include "CompactLabel.h"
#include "FittedCaptionBox.h"
#include "GameHost.h"
#include "GameLook.h"
#include "GameSeams.h"
#include "GameTexts.h"
#include "GameTwips.h"

#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolTip>

namespace brickvane {

namespace {

namespace t = texts::settings;

constexpr std::array<int, KeyBoxCount> DefaultKeys = {37, 39, 40, 38, 96};

QLabel* NewLabel(const QString& text, QWidget* parent, const QRectF& where) {
    auto* label = new QLabel(text, parent);
    twips::place(label, where);
    return label;
}

QComboBox* NewList(QWidget* parent, const QRectF& where) {
    auto* list = new QComboBox(parent); // not editable: entries can only be picked
    twips::place(list, where);
    return list;
}

QPushButton* NewButton(const QString& text, QWidget* parent, const QRectF& where) {
    auto* button = new QPushButton(text, parent);
    twips::place(button, where);
    return button;
}

void AddNumbers(QComboBox* list, int from, int to) {
    for (int n = from; n <= to; ++n)
        list->addItem(QString::number(n));
}

} // namespace

SettingsWindow::SettingsWindow(GameHost& game) : QDialog(game.HostWindow()), game_(game) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(t::Title());
    setFont(look::SongTi());
    setFixedSize(twips::size(5580, 3135));

    BuildFrame1();
    BuildFrame2();
    CmdOk = NewButton(t::CmdOk(), this, {180, 2580, 1965, 390});
    CmdOk->setDefault(true);
    Command1 = NewButton(t::Command1(), this, {2940, 2580, 1965, 390});

    connect(CmdDefault, &QPushButton::clicked, this, &SettingsWindow::CmdDefault_Click);
    connect(CmdAccept, &QPushButton::clicked, this, &SettingsWindow::CmdAccept_Click);
    connect(CmdChgColor, &QPushButton::clicked, this, &SettingsWindow::PickBackColor);
    connect(CmdOk, &QPushButton::clicked, this, &SettingsWindow::CmdOk_Click);
    connect(Command1, &QPushButton::clicked, this, &SettingsWindow::Command1_Click);
    connect(SliderUpgrade, &QSlider::valueChanged, this, &SettingsWindow::SliderUpgrade_Change);
    LabelPreView->installEventFilter(this);

    look::NameControls({{Frame1, "Frame1"},
                        {Label2, "Label2"},
                        {ComboRows, "ComboRows"},
                        {Label1, "Label1"},
                        {ComboCols, "ComboCols"},
                        {Label9, "Label9"},
                        {ComboLevel, "ComboLevel"},
                        {Label4, "Label4"},
                        {SliderUpgrade, "SliderUpgrade"},
                        {CmdChgColor, "CmdChgColor"},
                        {LabelPreView, "LabelPreView"},
                        {Frame2, "Frame2"},
                        {Label5, "Label5"},
                        {Label6, "Label6"},
                        {Label7, "Label7"},
                        {Label8, "Label8"},
                        {labelstepdown, "labelstepdown"},
                        {CmdDefault, "CmdDefault"},
                        {CmdAccept, "CmdAccept"},
                        {CmdOk, "CmdOk"},
                        {Command1, "Command1"}});
    for (std::size_t box = 0; box < combosetting.size(); ++box)
        combosetting[box]->setObjectName(QStringLiteral("combosetting%1").arg(box));
    NameByCaptions();

    Form_Load();
}

// Each list is read with the caption beside it, not only its value; Linux
// screen readers take the caption from the label's relation.
void SettingsWindow::NameByCaptions() {
    const std::pair<QLabel*, QWidget*> pairs[] = {
        {Label2, ComboRows},       {Label1, ComboCols},       {Label9, ComboLevel},
        {Label4, SliderUpgrade},   {Label5, combosetting[0]}, {Label6, combosetting[1]},
        {Label7, combosetting[2]}, {Label8, combosetting[3]}, {labelstepdown, combosetting[4]}};
    for (const auto& [caption, control] : pairs) {
        caption->setBuddy(control);
        control->setAccessibleName(caption->text());
    }
}

void SettingsWindow::BuildFrame1() {
    Frame1 = new FittedCaptionBox(t::Frame1(), QColor(), this);
    twips::place(Frame1, 0, 0, 2460, 2475);
    Label2 = NewLabel(t::Label2(), Frame1, {180, 270, 600, 225});
    ComboRows = NewList(Frame1, {960, 180, 1380, 300});
    Label1 = NewLabel(t::Label1(), Frame1, {180, 585, 600, 225});
    ComboCols = NewList(Frame1, {960, 570, 1380, 300});
    Label9 = NewLabel(t::Label9(), Frame1, {180, 960, 600, 225});
    ComboLevel = NewList(Frame1, {960, 960, 1380, 300});
    Label4 = new CompactLabel(t::Label4(), Frame1); // lower than the CJK face's line
    twips::place(Label4, {120, 1440, 735, 195});

    SliderUpgrade = new QSlider(Qt::Horizontal, Frame1);
    twips::place(SliderUpgrade, 900, 1440, 1455, 210);
    SliderUpgrade->setRange(MinUpgradeStep, MaxUpgradeStep);
    SliderUpgrade->setSingleStep(100);
    SliderUpgrade->setPageStep(100);
    SliderUpgrade->setTickInterval(100);
    SliderUpgrade->setTickPosition(QSlider::TicksBelow);

    CmdChgColor = NewButton(t::CmdChgColor(), Frame1, {180, 1860, 750, 405});
    LabelPreView = NewLabel(QString(), Frame1, {1080, 1740, 1215, 630});
    LabelPreView->setFrameShape(QFrame::Box);
}

void SettingsWindow::BuildFrame2() {
    Frame2 = new FittedCaptionBox(t::Frame2(), QColor(), this);
    twips::place(Frame2, 2520, 0, 2745, 2475);
    Label5 = NewLabel(t::Label5(), Frame2, {120, 240, 510, 210});
    combosetting[0] = NewList(Frame2, {1020, 180, 1605, 300});
    Label6 = NewLabel(t::Label6(), Frame2, {120, 585, 465, 210});
    combosetting[1] = NewList(Frame2, {1020, 540, 1605, 300});
    Label7 = NewLabel(t::Label7(), Frame2, {90, 960, 510, 210});
    combosetting[2] = NewList(Frame2, {1020, 900, 1605, 300});
    Label8 = NewLabel(t::Label8(), Frame2, {120, 1320, 510, 210});
    combosetting[3] = NewList(Frame2, {1020, 1260, 1605, 300});
    labelstepdown = NewLabel(t::LabelStepDown(), Frame2, {120, 1680, 855, 255});
    combosetting[4] = NewList(Frame2, {1020, 1680, 1605, 300});
    CmdDefault = NewButton(t::CmdDefault(), Frame2, {75, 2040, 855, 315});
    CmdAccept = NewButton(t::CmdAccept(), Frame2, {1080, 2040, 1275, 315});
}

void SettingsWindow::Form_Load() {
    const Engine& engine = game_.engine();
    AddNumbers(ComboCols, MinBoardRows - HiddenRows, MaxBoardRows - HiddenRows);
    AddNumbers(ComboLevel, 1, MaxLevel);
    AddNumbers(ComboRows, MinBoardCols, MaxBoardCols);
    ComboRows->setCurrentIndex(engine.BoardCols - MinBoardCols);
    ComboCols->setCurrentIndex(engine.BoardRows - MinBoardRows);
    // The level reached in the running game, not the starting level.
    ComboLevel->setCurrentIndex(engine.Level() - 1);

    for (QComboBox* list : combosetting)
        for (const std::string_view entry : KeyList)
            list->addItem(QString::fromLatin1(entry.data(), qsizetype(entry.size())));
    SelectKeys({engine.KeyLeft, engine.KeyRight, engine.KeyDrop, engine.KeyRotate, engine.KeyStep});

    SliderUpgrade->setValue(engine.UpgradeStep);
    SliderUpgrade_Change(SliderUpgrade->value());
    look::SetBackColour(LabelPreView, game_.BoardBackColor());
}

KeyBoxSelection SettingsWindow::SelectedKeys() const {
    KeyBoxSelection selected{};
    for (std::size_t box = 0; box < combosetting.size(); ++box)
        selected[box] = combosetting[box]->currentIndex();
    return selected;
}

void SettingsWindow::SelectKeys(const std::array<int, KeyBoxCount>& codes) {
    for (std::size_t box = 0; box < combosetting.size(); ++box)
        combosetting[box]->setCurrentIndex(KeyCodeToListIndex(codes[box]));
}

void SettingsWindow::CmdDefault_Click() {
    // In force at once: no need to remember the choice.
    Engine& engine = game_.engine();
    engine.KeyLeft = DefaultKeys[0];
    engine.KeyRight = DefaultKeys[1];
    engine.KeyDrop = DefaultKeys[2];
    engine.KeyRotate = DefaultKeys[3];
    engine.KeyStep = DefaultKeys[4];
    SelectKeys(DefaultKeys);
}

void SettingsWindow::CmdAccept_Click() {
    const KeyBoxSelection selected = SelectedKeys();
    if (!KeysAreDistinct(selected)) {
        seams::showMessage(
            {t::DuplicateKeys(), t::DuplicateKeysTitle(), seams::Buttons::Ok, seams::Icon::None});
        return;
    }
    Engine& engine = game_.engine();
    engine.KeyLeft = ListIndexToKeyCode(selected[0]);
    engine.KeyRight = ListIndexToKeyCode(selected[1]);
    engine.KeyDrop = ListIndexToKeyCode(selected[2]);
    engine.KeyRotate = ListIndexToKeyCode(selected[3]);
    engine.KeyStep = ListIndexToKeyCode(selected[4]);
}

void SettingsWindow::PickBackColor() {
    // A cancelled dialog leaves the colour as it was.
    if (const auto chosen = seams::pickColour(look::BackColour(LabelPreView), this))
        look::SetBackColour(LabelPreView, *chosen);
}

void SettingsWindow::CmdOk_Click() {
    Engine& engine = game_.engine();
    engine.BoardRows = ComboCols->currentIndex() + MinBoardRows;
    engine.BoardCols = ComboRows->currentIndex() + MinBoardCols;
    engine.UpgradeStep = SliderUpgrade->value();
    engine.StartLevel = ComboLevel->currentIndex() + 1;
    accept();
    game_.NewGame();
}

void SettingsWindow::Command1_Click() {
    reject();
    if (game_.engine().GameExists())
        game_.ResumeGame();
}

void SettingsWindow::Form_Unload() {
    game_.SetBoardBackColor(look::BackColour(LabelPreView));
}

void SettingsWindow::done(int result) {
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void SettingsWindow::SliderUpgrade_Change(int value) {
    SliderUpgrade->setToolTip(t::SliderTip(value));
    if (SliderUpgrade->isSliderDown())
        QToolTip::showText(QCursor::pos(), SliderUpgrade->toolTip(), SliderUpgrade);
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    // Esc is the resume button's, as the close box is not.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelPreView && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        PickBackColor();
    return QDialog::eventFilter(watched, event);
}

} // namespace brickvane
