#pragma once

#include "editors/filesearch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Find in Files...": the text or regular expression, match case and whole word, and where to
// look: the project's files, the active file's folder, or a chosen folder; in a folder, the file
// types and whether its subfolders are searched too. Find refuses, with a message, an empty text,
// an invalid regular expression and a folder that does not exist; the dialog then stays.
class CFindInFilesDialog : public QDialog {
    Q_OBJECT

public:
    enum Scope { ProjectFiles = 0, ActiveFileFolder = 1, ChosenFolder = 2 };

    // activeFolder: the active file's folder, empty when there is none; hasProject: whether the
    // project's files can be searched.
    CFindInFilesDialog(bool hasProject, const QString &activeFolder, QWidget *parent = nullptr);
    ~CFindInFilesDialog() override;

    // The text to find, selected, as the dialog opens.
    void setText(const QString &text);
    search::Query query() const;
    Scope scope() const;
    // The folder searched for the folder scopes.
    QString folder() const;
    bool includeSubfolders() const;
    QStringList filePatterns() const;

    QComboBox *textEdit() const { return m_text; }
    QCheckBox *matchCaseBox() const { return m_matchCase; }
    QCheckBox *wholeWordBox() const { return m_wholeWord; }
    QCheckBox *regularExpressionBox() const { return m_regularExpression; }
    QComboBox *scopeBox() const { return m_scope; }
    QLineEdit *folderEdit() const { return m_folder; }
    QLineEdit *patternsEdit() const { return m_patterns; }
    QCheckBox *subfoldersBox() const { return m_subfolders; }

public Q_SLOTS:
    void accept() override;

private:
    void updateFolderRow();

    QString m_activeFolder;
    QComboBox *m_text = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QCheckBox *m_wholeWord = nullptr;
    QCheckBox *m_regularExpression = nullptr;
    QComboBox *m_scope = nullptr;
    QLineEdit *m_folder = nullptr;
    QWidget *m_browse = nullptr;
    QLineEdit *m_patterns = nullptr;
    QCheckBox *m_subfolders = nullptr;
};
