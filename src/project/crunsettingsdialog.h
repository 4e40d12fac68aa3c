#pragma once

#include "tools/runoptions.h"

#include <QDialog>

class QLineEdit;

// "Run Settings...": the program arguments, a file for the program's standard input, the Java
// VM's options and the folder the program runs in, for every run of the project. OK refuses,
// with a message, arguments or options with an open quote and a file or folder that does not
// exist; the dialog then stays.
class CRunSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit CRunSettingsDialog(QWidget *parent = nullptr);
    ~CRunSettingsDialog() override;

    // The run fields of options are shown; its libraries are kept as they are.
    void setOptions(const jdk::RunOptions &options);
    jdk::RunOptions options() const;

    QLineEdit *argumentsEdit() const { return m_arguments; }
    QLineEdit *inputFileEdit() const { return m_inputFile; }
    QLineEdit *vmOptionsEdit() const { return m_vmOptions; }
    QLineEdit *workingFolderEdit() const { return m_workingFolder; }

public Q_SLOTS:
    void accept() override;

private:
    QLineEdit *m_arguments = nullptr;
    QLineEdit *m_inputFile = nullptr;
    QLineEdit *m_vmOptions = nullptr;
    QLineEdit *m_workingFolder = nullptr;
    QStringList m_libraries;
};
