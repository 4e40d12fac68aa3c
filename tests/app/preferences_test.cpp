#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/cpreferencesdialog.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "support/appharness.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;
using testing_support::AppHarness;

// Clicks the dialog's control of that object name ("button1020", "check1008").
void click(QDialog &dialog, const QString &name) {
    QWidget *widget = dialog.findChild<QAbstractButton *>(name);
    ASSERT_NE(widget, nullptr) << name.toStdString();
    QTest::mouseClick(widget, Qt::LeftButton);
}

void presetPreferences(fw::Profile &profile) {
    profile.writeString(u"PATHS"_s, u"JAVABIN"_s, u"/opt/old-jdk"_s);
    profile.writeString(u"OPTIONS"_s, u"JAVAC"_s, u"-g"_s);
    profile.writeInt(u"OPTIONS"_s, u"SAVECOMP"_s, 0);
    profile.writeInt(u"OPTIONS"_s, u"LOADLAST"_s, 5);
    profile.writeInt(u"OPTIONS"_s, u"KEYCOLOR"_s, 0x00112233);
}

// Runs "Preferences..." with the dialog driven by script, which ends it by its answer.
void editPreferences(AppHarness &harness, const std::function<int(QDialog &)> &script) {
    harness.prompter().runDialogNext([script](QDialog &dialog) {
        dialog.show();
        return script(dialog);
    });
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::Preferences));
}

// A colour is applied to the sample at once, yet Cancel must leave the settings and the file as
// they were. Then all seven values are stored on OK and read back the same at the next start; the
// folder picked with Browse replaces the whole text of the field.
TEST(Preferences, CancelLeavesEverySettingAndOkStoresAllSeven) {
    AppHarness harness({}, presetPreferences);
    QFile file(harness.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    harness.prompter().chooseColourNext(QColor(Qt::yellow));
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, u"button1023"_s);
        dialog.findChild<QLineEdit *>(u"edit1000"_s)->setText(u"/elsewhere"_s);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(harness.app().settings().keywordColour, 0x00112233u);
    EXPECT_EQ(harness.app().settings().jdkFolder, u"/opt/old-jdk"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);

    harness.prompter().chooseFolderNext(u"/usr/lib/jvm/picked"_s);
    for (const QColor &colour : {QColor(1, 2, 3), QColor(4, 5, 6), QColor(7, 8, 9)}) {
        harness.prompter().chooseColourNext(colour);
    }
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, u"button1020"_s);
        EXPECT_EQ(dialog.findChild<QLineEdit *>(u"edit1000"_s)->text(), u"/usr/lib/jvm/picked"_s);
        dialog.findChild<QLineEdit *>(u"edit1007"_s)->setText(u"-deprecation"_s);
        // "Keep a Java compiler running for faster builds" starts on, as its default is.
        EXPECT_TRUE(dialog.findChild<QCheckBox *>(u"check1011"_s)->isChecked());
        for (const char *name :
             {"check1008", "check1010", "check1011", "button1023", "button1024", "button1030"}) {
            click(dialog, QString::fromLatin1(name));
        }
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        return dialog.result();
    });
    AppSettings reloaded;
    reloaded.LoadSettings(*harness.storedSettings());
    for (const AppSettings *settings : {&harness.app().settings(), &reloaded}) {
        EXPECT_EQ(settings->jdkFolder, u"/usr/lib/jvm/picked"_s);
        EXPECT_EQ(settings->javacOptions, u"-deprecation"_s);
        EXPECT_EQ(settings->saveBeforeCompile, 1);
        EXPECT_EQ(settings->loadLastProject, 0);
        EXPECT_EQ(settings->keywordColour, 0x00030201u);
        EXPECT_EQ(settings->commentColour, 0x00060504u);
        EXPECT_EQ(settings->stringColour, 0x00090807u);
        EXPECT_EQ(settings->keepCompilerRunning, 0);
    }
    EXPECT_EQ(harness.storedSettings()->readInt(u"OPTIONS"_s, u"KEEPCOMPILER"_s, 1), 0);
}

// With the JDK folder left empty the tools come from /bin: the note says which compiler Build
// will use, or that there is none.
TEST(Preferences, EmptyJdkFolderNoteNamesTheCompilerBuildWillUse) {
    AppHarness harness({}, presetPreferences);
    const bool systemJavac = QFileInfo(u"/bin/javac"_s).isExecutable();
    QString note;
    editPreferences(harness, [&](QDialog &dialog) {
        auto &preferences = dynamic_cast<CPreferencesDialog &>(dialog);
        dialog.findChild<QLineEdit *>(u"edit1000"_s)->setText(QString());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                note = preferences.jdkNote();
                return !note.isEmpty() && !note.startsWith(u"Looking"_s);
            },
            30000));
        return int(QDialog::Rejected);
    });
    if (systemJavac) {
        EXPECT_TRUE(note.startsWith(u"The folder is empty: Build will use /bin/javac"_s))
            << note.toStdString();
    } else {
        EXPECT_EQ(note, u"The folder is empty and there is no /bin/javac: compiling will not "
                        u"start until the folder names a JDK."_s);
    }
}

} // namespace
