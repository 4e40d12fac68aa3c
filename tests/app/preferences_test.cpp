#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/cpreferencesdialog.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "support/appharness.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using testing_support::AppHarness;

template <typename Widget>
Widget *control(QDialog &dialog, const char *kind, int id) {
    auto *widget = dialog.findChild<Widget *>(QString::fromLatin1(kind) + QString::number(id));
    EXPECT_NE(widget, nullptr) << kind << id;
    return widget;
}

QLineEdit *jdkEdit(QDialog &dialog) {
    return control<QLineEdit>(dialog, "edit", CPreferencesDialog::kJdkFolderEditId);
}

void click(QDialog &dialog, int buttonId) {
    QTest::mouseClick(control<QPushButton>(dialog, "button", buttonId), Qt::LeftButton);
}

void presetPreferences(fw::Profile &profile) {
    const QString options = QStringLiteral("OPTIONS");
    profile.writeString(QStringLiteral("PATHS"), QStringLiteral("JAVABIN"),
                        QStringLiteral("/opt/old-jdk"));
    profile.writeString(options, QStringLiteral("JAVAC"), QStringLiteral("-g"));
    profile.writeInt(options, QStringLiteral("SAVECOMP"), 0);
    profile.writeInt(options, QStringLiteral("LOADLAST"), 5);
    profile.writeInt(options, QStringLiteral("KEYCOLOR"), 0x00112233);
    profile.writeInt(options, QStringLiteral("COMMENTCOLOR"), 0x00445566);
    profile.writeInt(options, QStringLiteral("STRINGCOLOR"), 0x00778899);
}

// Runs "Preferences..." with the dialog driven by script, which ends it by its answer.
void editPreferences(AppHarness &harness, const std::function<int(QDialog &)> &script) {
    harness.prompter().runDialogNext([script](QDialog &dialog) {
        dialog.show();
        return script(dialog);
    });
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::Preferences));
}

// All seven values are stored on OK and read back the same at the next start; the folder picked
// with Browse replaces the whole text of the field.
TEST(Preferences, OkStoresAllSevenValuesAndTheyComeBackAtTheNextStart) {
    AppHarness harness({}, presetPreferences);
    harness.prompter().chooseFolderNext(QStringLiteral("/usr/lib/jvm/picked"));
    harness.prompter().chooseColourNext(QColor(1, 2, 3));
    harness.prompter().chooseColourNext(QColor(4, 5, 6));
    harness.prompter().chooseColourNext(QColor(7, 8, 9));
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, 1020);
        EXPECT_EQ(jdkEdit(dialog)->text(), QStringLiteral("/usr/lib/jvm/picked"));
        control<QLineEdit>(dialog, "edit", 1007)->setText(QStringLiteral("-deprecation"));
        QTest::mouseClick(control<QCheckBox>(dialog, "check", 1008), Qt::LeftButton);
        QTest::mouseClick(control<QCheckBox>(dialog, "check", 1010), Qt::LeftButton);
        for (int button : {1023, 1024, 1030}) {
            click(dialog, button);
        }
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        return dialog.result();
    });
    AppSettings reloaded;
    reloaded.LoadSettings(*harness.storedSettings());
    for (const AppSettings *settings : {&harness.app().settings(), &reloaded}) {
        EXPECT_EQ(settings->jdkFolder, QStringLiteral("/usr/lib/jvm/picked"));
        EXPECT_EQ(settings->javacOptions, QStringLiteral("-deprecation"));
        EXPECT_EQ(settings->saveBeforeCompile, 1);
        EXPECT_EQ(settings->loadLastProject, 0);
        EXPECT_EQ(settings->keywordColour, 0x00030201u);
        EXPECT_EQ(settings->commentColour, 0x00060504u);
        EXPECT_EQ(settings->stringColour, 0x00090807u);
    }
}

// A colour is applied to the sample at once, yet Cancel must leave the settings and the file as
// they were.
TEST(Preferences, ColourChosenThenCancelLeavesEverySetting) {
    AppHarness harness({}, presetPreferences);
    const QByteArray before = [&] {
        QFile file(harness.settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    harness.prompter().chooseColourNext(QColor(Qt::yellow));
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, 1023);
        jdkEdit(dialog)->setText(QStringLiteral("/elsewhere"));
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(harness.app().settings().keywordColour, 0x00112233u);
    EXPECT_EQ(harness.app().settings().jdkFolder, QStringLiteral("/opt/old-jdk"));
    QFile after(harness.settingsFile());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

} // namespace
