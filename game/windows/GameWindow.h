#pragma once

#include "CellBox.h"
#include "Engine.h"
#include "GameHost.h"
#include "WaveSounds.h"

#include <QMainWindow>
#include <QSizeF>
#include <QTimer>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace brickvane {

// The game window: board, preview, score and level, the four move buttons,
// the welcome picture, the gravity timer and the menu bar. It owns the engine;
// the settings window, the about box and the game-over dialog work on it.
class GameWindow : public QMainWindow, public GameHost {
public:
    explicit GameWindow(QWidget* parent = nullptr);

    QWidget* HostWindow() override { return this; }
    Engine& engine() override { return engine_; }
    // Where the sounds go; null plays nothing. Not owned.
    void SetSoundSink(SoundSink* sink);
    SoundSink* Sounds() const override { return sound_; }

    // Starts a game sized to the settings (F2, the settings window, game over).
    // True when the board's cells were built anew for a new size.
    bool NewGame() override;
    // The resume of the about box and the settings window: timer on, buttons on.
    void ResumeGame() override;
    void StopTimer() override { Timer1.stop(); }
    // Shows the game-over dialog; returns when it has closed.
    void YouDie();

    QColor BoardBackColor() const override { return Picture1->BackColor(); }
    void SetBoardBackColor(const QColor& colour) override;

    // The window's designed outer size in twips, frame and menu bar included.
    QSizeF OuterTwips() const { return outerTwips_; }

    // Brings the board, preview and labels up to the engine's state.
    void RefreshView();

    // The key handler, on virtual-key numbers. True when the key was used.
    bool Form_KeyDown(int keyCode);

    // ---- Controls, named as designed ----
    CellBox* Picture1 = nullptr;
    CellBox* Picture2 = nullptr;
    QLabel* LabNext = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LabelLevel = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LabelScore = nullptr;
    QPushButton* CmdLeft = nullptr;
    QPushButton* CmdRevert = nullptr;
    QPushButton* CmdRight = nullptr;
    QPushButton* CmdDown = nullptr;
    QLabel* Picture3 = nullptr;
    QTimer Timer1;

    QMenu* MnuFile = nullptr;
    QAction* cmdStart = nullptr;
    QAction* dot = nullptr;
    QAction* cmdexit = nullptr;
    QAction* cmdSetting = nullptr;
    QAction* CmdPause = nullptr;
    QMenu* about = nullptr;
    QAction* cmdhelp = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls(QWidget* client);
    void NameForScreenReaders();
    void BuildMenus();
    void ApplyOuterSize();
    void ResizeToBoard();
    void SetButtonsEnabled(bool enabled);

    void CmdLeft_Click();
    void CmdRight_Click();
    void CmdDown_Click();
    void CmdRevert_Click();
    void Drop();
    void Timer1_Timer();
    void CmdPause_Click();
    void cmdStart_Click();
    void cmdexit_Click();
    void cmdSetting_Click();
    void cmdhelp_Click();
    void Picture3_Click();
    void Form_Resize();

    Engine engine_;
    WaveSounds waveSounds_;
    SoundSink* sound_ = nullptr;
    QWidget* client_ = nullptr;
    QSizeF outerTwips_;
    std::uint64_t shownRevision_ = ~std::uint64_t(0);
};

} // namespace brickvane
