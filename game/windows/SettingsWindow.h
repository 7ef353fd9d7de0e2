#pragma once

#include "Keys.h"

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace brickvane {

class GameHost;

// The settings window: keys, board size, starting level, points per level and
// the board's colour. Each opening starts from the settings in force.
class SettingsWindow : public QDialog {
public:
    explicit SettingsWindow(GameHost& game);

    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboRows = nullptr; // the column count, beside "列数"
    QLabel* Label1 = nullptr;
    QComboBox* ComboCols = nullptr; // the visible row count, beside "行数"
    QLabel* Label9 = nullptr;
    QComboBox* ComboLevel = nullptr;
    QLabel* Label4 = nullptr;
    QSlider* SliderUpgrade = nullptr;
    QPushButton* CmdChgColor = nullptr;
    QLabel* LabelPreView = nullptr;

    QGroupBox* Frame2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* labelstepdown = nullptr;
    std::array<QComboBox*, KeyBoxCount> combosetting{};
    QPushButton* CmdDefault = nullptr;
    QPushButton* CmdAccept = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* Command1 = nullptr;

    void done(int result) override; // every way of closing unloads

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameByCaptions();
    void BuildFrame1();
    void BuildFrame2();
    void Form_Load();
    void CmdDefault_Click();
    void CmdAccept_Click();
    void PickBackColor();
    void CmdOk_Click();
    void Command1_Click();
    void Form_Unload();
    void SliderUpgrade_Change(int value);
    KeyBoxSelection SelectedKeys() const;
    void SelectKeys(const std::array<int, KeyBoxCount>& codes);

    GameHost& game_;
    bool unloaded_ = false;
};

} // namespace brickvane
