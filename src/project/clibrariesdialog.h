#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// "Libraries...": the jar files and class folders on the class path of the project's builds
// and runs, in order. Jars are added with the open dialog, class folders with the folder
// chooser; a path already listed is not listed twice.
class CLibrariesDialog : public QDialog {
    Q_OBJECT

public:
    explicit CLibrariesDialog(QWidget *parent = nullptr);
    ~CLibrariesDialog() override;

    void setLibraries(const QStringList &libraries);
    QStringList libraries() const;

    QListWidget *list() const { return m_list; }
    QPushButton *addJarsButton() const { return m_addJars; }
    QPushButton *addFolderButton() const { return m_addFolder; }
    QPushButton *removeButton() const { return m_remove; }

private:
    void addPaths(const QStringList &paths);
    void moveSelected(int step);
    void updateButtons();

    QListWidget *m_list = nullptr;
    QPushButton *m_addJars = nullptr;
    QPushButton *m_addFolder = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
};
