#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// The Recent Projects chooser: the recent project paths in the order given (most recent
// first), the first one selected and the list focused. OK, Enter and a double-click on an entry
// all accept the selected entry; with nothing selected the dialog says so and stays open.
class CRecentProjectsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 149;
    static constexpr int kListId = 1015;
    static inline const QString kNothingChosenMessage =
        QStringLiteral("Please choose an item from the list");

    explicit CRecentProjectsDialog(const QStringList &projects, QWidget *parent = nullptr);
    ~CRecentProjectsDialog() override;

    QListWidget *list() const { return m_list; }
    // The accepted entry; empty until the dialog is accepted.
    QString chosen() const { return m_chosen; }

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *m_list = nullptr;
    QString m_chosen;
};
