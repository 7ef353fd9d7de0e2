#include "FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEngineView>

namespace {

QToolButton* smallButton(QWidget* parent, const QString& text, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FindBar::FindBar(QWebEngineView* view)
    : QWidget(view), m_view(view), m_edit(new QLineEdit(this)), m_count(new QLabel(this)) {
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("查找"));
    setAutoFillBackground(true);
    m_edit->setPlaceholderText(QStringLiteral("在网页中查找"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setAccessibleName(m_edit->placeholderText());
    auto* previous = smallButton(this, QStringLiteral("▲"), QStringLiteral("上一项 (Shift+Enter)"));
    auto* next = smallButton(this, QStringLiteral("▼"), QStringLiteral("下一项 (Enter)"));
    auto* hide = smallButton(this, QStringLiteral("×"), QStringLiteral("关闭 (Esc)"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    row->addWidget(m_edit, 1);
    row->addWidget(m_count);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(hide);

    connect(m_edit, &QLineEdit::textChanged, this, [this] { search(false); });
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(hide, &QToolButton::clicked, this, &FindBar::close);
    m_edit->installEventFilter(this);
    // Follows the pane's size while it is open.
    view->installEventFilter(this);
    QWidget::hide();
}

QString FindBar::countText(int active, int total) {
    if (total <= 0)
        return QStringLiteral("没有找到");
    return QStringLiteral("第 %1 项，共 %2 项").arg(active).arg(total);
}

QString FindBar::shownCount() const {
    return m_count->text();
}

void FindBar::open() {
    place();
    show();
    raise();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::close() {
    if (isHidden())
        return;
    hide();
    m_count->clear();
    m_view->findText(QString()); // clears the highlight
    m_view->setFocus(Qt::OtherFocusReason);
}

void FindBar::findNext() {
    search(false);
}

void FindBar::findPrevious() {
    search(true);
}

void FindBar::search(bool backward) {
    const QString text = m_edit->text();
    if (text.isEmpty()) {
        m_count->clear();
        m_view->findText(QString());
        return;
    }
    const auto flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    QPointer<FindBar> self(this);
    m_view->findText(text, flags, [self](const QWebEngineFindTextResult& result) {
        if (!self)
            return;
        self->m_count->setText(countText(result.activeMatch(), result.numberOfMatches()));
        emit self->found(result.activeMatch(), result.numberOfMatches());
    });
}

void FindBar::place() {
    // In a box beside the view, the box's layout places it.
    if (parentWidget() != m_view)
        return;
    const int h = sizeHint().height();
    const int w = std::min(m_view->width(), std::max(sizeHint().width(), 320));
    setGeometry(m_view->width() - w, m_view->height() - h, w, h);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Resize && isVisible())
        place();
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            search(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
