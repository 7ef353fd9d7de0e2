#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineView;

// A small find bar over the bottom of a pane. Typing searches as it goes;
// Enter goes to the next match, Shift+Enter to the previous one; Esc closes
// the bar and clears the highlight.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWebEngineView* view);

    // Shows the bar with its text selected, ready for a new search.
    void open();
    void close();
    void findNext();
    void findPrevious();

    // "第 n 项，共 m 项"; "没有找到" when there is no match.
    static QString countText(int active, int total);
    QString shownCount() const;
    QLineEdit* edit() const { return m_edit; }

signals:
    // The page has answered a search: `total` matches, the `active` one shown.
    void found(int active, int total);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(bool backward);
    void place();

    QWebEngineView* m_view;
    QLineEdit* m_edit;
    QLabel* m_count;
};
