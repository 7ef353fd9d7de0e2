#pragma once

#include <QColor>
#include <QCursor>
#include <QDialog>
#include <QLineF>
#include <array>
#include <optional>

class QLabel;
class QPushButton;

namespace brickvane {

class GameHost;

// A cursor file (.cur) with its hot spot; nothing when the file is missing or
// not a cursor.
std::optional<QCursor> LoadCursorFile(const QString& path);

// The game's about box: title, motto, the keys and the portal's address. Its
// OK button resumes the game.
class GameAboutBox : public QDialog {
public:
    explicit GameAboutBox(GameHost& game);

    struct Line {
        QLineF twips;
        QColor colour;
        int width;
    };
    // Etched separators: grey over white.
    static const std::array<Line, 5> Line1;

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* CommandButton1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load();
    void CommandButton1_Click();

    GameHost& game_;
};

} // namespace brickvane
