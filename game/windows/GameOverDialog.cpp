#include "GameOverDialog.h"

#include "CompactLabel.h"
#include "GameHost.h"
#include "GameLook.h"
#include "GameSeams.h"
#include "GameTexts.h"
#include "GameTwips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace brickvane {

namespace t = texts::game_over;

GameOverDialog::GameOverDialog(GameHost& game) : QDialog(game.HostWindow()), game_(game) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(look::SongTi());
    setFixedSize(twips::size(3030, 1635));

    Label1 = new CompactLabel(t::Label1(), this);
    twips::place(Label1, 300, 135, 2400, 780);
    Label1->setFont(look::SongTi(10.5));

    OKButton = new QPushButton(t::OKButton(), this);
    twips::place(OKButton, 315, 1080, 990, 315);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(t::CancelButton(), this);
    twips::place(CancelButton, 1440, 1080, 990, 315);
    connect(OKButton, &QPushButton::clicked, this, &GameOverDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &GameOverDialog::CancelButton_Click);
    look::NameControls(
        {{Label1, "Label1"}, {OKButton, "OKButton"}, {CancelButton, "CancelButton"}});

    Form_Load();
}

void GameOverDialog::Form_Load() {
    setWindowTitle(t::Caption(game_.engine().Score()));
    game_.StopTimer();
    const std::string& sound = game_.engine().SoundDie();
    if (!sound.empty() && game_.Sounds())
        game_.Sounds()->Play(sound);
}

void GameOverDialog::OKButton_Click() {
    if (answered_)
        return;
    answered_ = true;
    accept();
    game_.NewGame();
}

void GameOverDialog::CancelButton_Click() {
    if (answered_)
        return;
    answered_ = true;
    seams::endProgram();
    QDialog::reject();
}

void GameOverDialog::reject() {
    OKButton_Click();
}

void GameOverDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace brickvane
