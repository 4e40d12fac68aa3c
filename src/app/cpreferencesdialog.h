#pragma once

#include "app/jdkprobe.h"
#include "services/appsettings.h"

#include <QDialog>
#include <QFont>
#include <QTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The Preferences dialog: the JDK folder, the extra javac switches, "Save all files before
// compiling", "Load last open project on startup", "Keep a Java compiler running for faster
// builds" and the three syntax colours, each colour shown
// on a sample in the source font. The caller puts the values in with setValues() and takes them
// back with values() after OK; the dialog itself writes no setting. Below the JDK folder a note
// tells, while the folder is typed, which javac it holds; it never stops OK.
class CPreferencesDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 133;
    static constexpr int kJdkFolderEditId = 1000;
    static constexpr int kJavacOptionsEditId = 1007;
    static constexpr int kSaveBeforeCompileId = 1008;
    static constexpr int kLoadLastProjectId = 1010;
    static constexpr int kKeepCompilerRunningId = 1011;
    static constexpr int kBrowseButtonId = 1020;
    static constexpr int kKeywordSampleId = 1022;
    static constexpr int kKeywordButtonId = 1023;
    static constexpr int kCommentButtonId = 1024;
    static constexpr int kCommentSampleId = 1026;
    static constexpr int kStringSampleId = 1029;
    static constexpr int kStringButtonId = 1030;
    static constexpr int kMaxJdkFolderLength = 255;
    // How long typing in the JDK folder pauses before the folder is looked at.
    static constexpr int kProbeDelayMs = 400;

    struct Values {
        QString jdkFolder;
        QString javacOptions;
        bool saveBeforeCompile = true;
        bool loadLastProject = true;
        ColourRef commentColour = 0;
        ColourRef keywordColour = 0;
        ColourRef stringColour = 0;
        bool keepCompilerRunning = true;
    };

    // The samples are drawn in sampleFont (the source windows' font).
    explicit CPreferencesDialog(const QFont &sampleFont, QWidget *parent = nullptr);
    ~CPreferencesDialog() override;

    void setValues(const Values &values);
    Values values() const;

    // The note below the JDK folder.
    QString jdkNote() const;
    // The text each sample shows.
    static QString sampleText(int sampleId);

public slots:
    // Refuses a JDK folder over 255 characters with a message and keeps the dialog open.
    void accept() override;

private:
    QPushButton *makeColourButton(int id, const QString &text, ColourRef *colour);
    QTextEdit *makeSample(int id);
    void paintSamples();
    void paintSample(QTextEdit *sample, int sampleId, ColourRef colour);
    void browseForJdkFolder();
    void probeJdkFolder();
    void showProbeResult(JdkProbe::Result result, const QString &version);

    QFont m_sampleFont;
    ColourRef m_commentColour = 0;
    ColourRef m_keywordColour = 0;
    ColourRef m_stringColour = 0;

    QLineEdit *m_jdkFolderEdit = nullptr;
    QLineEdit *m_javacOptionsEdit = nullptr;
    QCheckBox *m_saveBeforeCompile = nullptr;
    QCheckBox *m_loadLastProject = nullptr;
    QCheckBox *m_keepCompilerRunning = nullptr;
    QTextEdit *m_keywordSample = nullptr;
    QTextEdit *m_commentSample = nullptr;
    QTextEdit *m_stringSample = nullptr;
    QLabel *m_jdkNote = nullptr;
    JdkProbe m_probe;
    // The folder the probe last looked at: its note speaks of that one.
    QString m_probedFolder;
    QTimer m_probeDelay;
};
