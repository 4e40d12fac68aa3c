#pragma once

#include "editors/completion.h"

#include <QFrame>

class QListView;
class CompletionListModel;

// The list of completion entries shown under the caret of a source editor. It never takes the
// focus: the editor keeps it and hands over the keys that move in the list. It holds the
// entries of one completion and shows those the last filter picked, in the filter's order; each
// row shows the entry's kind, its name with its parameter types, and its type.
class CompletionPopup : public QFrame {
    Q_OBJECT

public:
    static constexpr int kVisibleRows = 12;

    explicit CompletionPopup(QWidget *editor);
    ~CompletionPopup() override;

    void setItems(QList<editors::CompletionItem> items);
    // Shows the entries the pattern picks, the first one current; false when it picks none.
    bool filter(QStringView pattern);
    // The current entry, or none when nothing is shown.
    const editors::CompletionItem *currentItem() const;
    // Moves the current row by rows (negative: up), stopping at the ends.
    void moveCurrent(int rows);
    // Puts the list's top left corner at a point of the screen, or its bottom left at above when
    // the list would run off the screen's bottom.
    void placeAt(const QPoint &below, const QPoint &above);

    // What the rows show: kind, label and type, for tests.
    int rowCount() const;
    QString rowText(int row) const;

Q_SIGNALS:
    // An entry was double-clicked: it is the current one.
    void chosen();

private:
    QListView *m_list;
    CompletionListModel *m_model;
};
