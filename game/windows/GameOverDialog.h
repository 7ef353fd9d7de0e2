#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace brickvane {

class GameHost;

// The game-over dialog: the score in its title, the game-over sound, and the
// choice between a new game (OK, Enter, the close box) and the end (Cancel, Esc).
class GameOverDialog : public QDialog {
public:
    explicit GameOverDialog(GameHost& game);

    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void reject() override; // the close box

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();

    GameHost& game_;
    bool answered_ = false;
};

} // namespace brickvane
