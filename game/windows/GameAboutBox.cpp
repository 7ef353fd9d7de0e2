#include "GameAboutBox.h"

#include "CompactLabel.h"
#include "GameHost.h"
#include "GameLook.h"
#include "GameTexts.h"
#include "GameTwips.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace brickvane {

namespace {

namespace t = texts::about;

const QColor Pink(255, 192, 255);
const QColor Peach(255, 192, 128);
const QColor Grey(128, 128, 128);

QLabel* NewLabel(const QString& text, QWidget* parent, const QRectF& where, const QFont& font) {
    auto* label = new CompactLabel(text, parent);
    twips::place(label, where);
    label->setFont(font);
    look::SetTextColour(label, Qt::blue);
    return label;
}

} // namespace

std::optional<QCursor> LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The directory: reserved 0, type 2 (cursor), a count, then the first
    // entry, whose planes and bit count hold the hot spot.
    const QByteArray head = file.read(22);
    const auto word = [&head](int at) {
        return int(quint8(head[at])) | int(quint8(head[at + 1])) << 8;
    };
    if (head.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) < 1)
        return std::nullopt;
    file.seek(0);
    QImageReader reader(&file, "ico");
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const int x = std::min(word(10), image.width() - 1);
    const int y = std::min(word(12), image.height() - 1);
    return QCursor(QPixmap::fromImage(image), x, y);
}

const std::array<GameAboutBox::Line, 5> GameAboutBox::Line1 = {{
    {{150, 1500, 4680, 1500}, Qt::white, 2},
    {{150, 1485, 4695, 1485}, Grey, 1},
    {{165, 2340, 4710, 2340}, Grey, 1},
    {{165, 2340, 4695, 2340}, Qt::white, 2},
    {{165, 2325, 4710, 2325}, Grey, 1},
}};

GameAboutBox::GameAboutBox(GameHost& game) : QDialog(game.HostWindow()), game_(game) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(t::Title());
    setFont(look::SongTi());
    setFixedSize(twips::size(4980, 3795));
    look::SetBackColour(this, Pink);

    picIcon = new QLabel(this);
    twips::place(picIcon, 75, 165, 540, 540);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    look::SetBackColour(picIcon, Peach);

    lblTitle = NewLabel(t::LblTitle(), this, {735, 180, 3885, 360}, look::SongTi(12, true));
    lblDescription = NewLabel(t::LblDescription(), this, {735, 840, 3825, 435}, look::SongTi(10.5));
    Label2 = NewLabel(t::Label2(), this, {225, 1605, 4410, 675}, look::SongTi(10.5));
    Label3 =
        NewLabel(texts::PortalRootAddress(), this, {720, 2640, 3615, 255}, look::SongTi(9, true));
    for (QLabel* l : {lblTitle, lblDescription, Label3})
        look::SetBackColour(l, Peach);

    CommandButton1 = new QPushButton(t::CommandButton1(), this);
    twips::place(CommandButton1, 1800, 3225, 945, 360);
    connect(CommandButton1, &QPushButton::clicked, this, &GameAboutBox::CommandButton1_Click);
    look::NameControls({{picIcon, "picIcon"},
                        {lblTitle, "lblTitle"},
                        {lblDescription, "lblDescription"},
                        {Label2, "Label2"},
                        {Label3, "Label3"},
                        {CommandButton1, "CommandButton1"}});

    Form_Load();
}

void GameAboutBox::Form_Load() {
    // Missing files leave the box without its icon and with the normal cursor.
    const QString folder = QString::fromStdString(game_.engine().AppFolder());
    picIcon->setPixmap(QPixmap(folder + QStringLiteral("Me.ico")));
    if (const auto cursor = LoadCursorFile(folder + QStringLiteral("point.cur")))
        Label3->setCursor(*cursor);
}

void GameAboutBox::CommandButton1_Click() {
    accept();
    if (game_.engine().GameExists())
        game_.ResumeGame();
}

void GameAboutBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (const Line& line : Line1) {
        QPen pen(line.colour);
        pen.setWidth(line.width);
        painter.setPen(pen);
        painter.drawLine(twips::toPixels(line.twips.x1()), twips::toPixels(line.twips.y1()),
                         twips::toPixels(line.twips.x2()), twips::toPixels(line.twips.y2()));
    }
}

} // namespace brickvane
