#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "app/cpreferencesdialog.h"
#include "app/jdkprobe.h"
#include "editors/csyntaxwindowview.h"
#include "editors/sourcehighlighter.h"
#include "framework/commandids.h"
#include "framework/document.h"
#include "framework/profile.h"
#include "support/appharness.h"
#include "support/testenvironment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

using testing_support::AppHarness;

const QString kOptions = QStringLiteral("OPTIONS");
const QString kPaths = QStringLiteral("PATHS");

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

void clickOk(QDialog &dialog) {
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// The colour of a sample's first character.
QColor sampleColour(QDialog &dialog, int sampleId) {
    QTextEdit *sample = control<QTextEdit>(dialog, "sample", sampleId);
    QTextCursor cursor(sample->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat().foreground().color();
}

void presetPreferences(fw::Profile &profile) {
    profile.writeString(kPaths, QStringLiteral("JAVABIN"), QStringLiteral("/opt/old-jdk"));
    profile.writeString(kOptions, QStringLiteral("JAVAC"), QStringLiteral("-g"));
    profile.writeInt(kOptions, QStringLiteral("SAVECOMP"), 0);
    profile.writeInt(kOptions, QStringLiteral("LOADLAST"), 5);
    profile.writeInt(kOptions, QStringLiteral("KEYCOLOR"), 0x00112233);
    profile.writeInt(kOptions, QStringLiteral("COMMENTCOLOR"), 0x00445566);
    profile.writeInt(kOptions, QStringLiteral("STRINGCOLOR"), 0x00778899);
    profile.writeString(kOptions, QStringLiteral("FONTNAME"), QStringLiteral("DejaVu Sans"));
    profile.writeInt(kOptions, QStringLiteral("FONTSIZE"), 140);
}

// Runs "Preferences..." with the dialog driven by script; the script's answer ends it unless the
// script closed the dialog itself.
void editPreferences(AppHarness &harness, const std::function<int(QDialog &)> &script) {
    harness.prompter().runDialogNext([script](QDialog &dialog) {
        dialog.show();
        const int answer = script(dialog);
        return dialog.result() == QDialog::Accepted ? int(QDialog::Accepted) : answer;
    });
    ASSERT_TRUE(harness.mainFrame().executeCommand(CommandId::Preferences));
}

TEST(Preferences, DialogShowsTheSettingsAndSamplesInTheSourceFont) {
    AppHarness harness({}, presetPreferences);
    bool ran = false;
    editPreferences(harness, [&](QDialog &dialog) {
        ran = true;
        EXPECT_EQ(jdkEdit(dialog)->text(), QStringLiteral("/opt/old-jdk"));
        EXPECT_EQ(control<QLineEdit>(dialog, "edit", 1007)->text(), QStringLiteral("-g"));
        EXPECT_FALSE(control<QCheckBox>(dialog, "check", 1008)->isChecked());
        EXPECT_TRUE(control<QCheckBox>(dialog, "check", 1010)->isChecked());

        const struct {
            int id;
            QString text;
            ColourRef colour;
        } samples[] = {{1022, QStringLiteral("public static final int"), 0x00112233},
                       {1026, QStringLiteral("// sample comment"), 0x00445566},
                       {1029, QStringLiteral("\"This is a string\""), 0x00778899}};
        for (const auto &sample : samples) {
            QTextEdit *edit = control<QTextEdit>(dialog, "sample", sample.id);
            EXPECT_EQ(edit->toPlainText(), sample.text);
            EXPECT_EQ(sampleColour(dialog, sample.id), colourFromRef(sample.colour));
            EXPECT_EQ(edit->font().family(), QStringLiteral("DejaVu Sans"));
            EXPECT_EQ(edit->font().pointSizeF(), 14.0);
            EXPECT_NE(edit->font(), dialog.font());
            EXPECT_TRUE(edit->isReadOnly());
        }
        return QDialog::Rejected;
    });
    EXPECT_TRUE(ran);
}

TEST(Preferences, OkStoresAllSevenValuesAndTheyComeBackAtTheNextStart) {
    AppHarness harness({}, presetPreferences);
    harness.prompter().chooseColourNext(QColor(1, 2, 3));
    harness.prompter().chooseColourNext(QColor(4, 5, 6));
    harness.prompter().chooseColourNext(QColor(7, 8, 9));
    editPreferences(harness, [&](QDialog &dialog) {
        jdkEdit(dialog)->setText(QStringLiteral("/opt/new-jdk"));
        control<QLineEdit>(dialog, "edit", 1007)->setText(QStringLiteral("-deprecation"));
        QTest::mouseClick(control<QCheckBox>(dialog, "check", 1008), Qt::LeftButton);
        QTest::mouseClick(control<QCheckBox>(dialog, "check", 1010), Qt::LeftButton);
        click(dialog, 1023);
        EXPECT_EQ(sampleColour(dialog, 1022), QColor(1, 2, 3));
        click(dialog, 1024);
        EXPECT_EQ(sampleColour(dialog, 1026), QColor(4, 5, 6));
        click(dialog, 1030);
        EXPECT_EQ(sampleColour(dialog, 1029), QColor(7, 8, 9));
        clickOk(dialog);
        return QDialog::Rejected;
    });
    // Each chooser started at the colour it was to change.
    EXPECT_EQ(harness.prompter().colourChooserStarts(),
              (std::vector<QColor>{colourFromRef(0x00112233), colourFromRef(0x00445566),
                                   colourFromRef(0x00778899)}));

    const AppSettings &settings = harness.app().settings();
    EXPECT_EQ(settings.jdkFolder, QStringLiteral("/opt/new-jdk"));
    EXPECT_EQ(settings.javacOptions, QStringLiteral("-deprecation"));
    EXPECT_EQ(settings.saveBeforeCompile, 1);
    EXPECT_EQ(settings.loadLastProject, 0);
    EXPECT_EQ(settings.keywordColour, 0x00030201u);
    EXPECT_EQ(settings.commentColour, 0x00060504u);
    EXPECT_EQ(settings.stringColour, 0x00090807u);

    AppSettings reloaded;
    reloaded.LoadSettings(*harness.storedSettings());
    EXPECT_EQ(reloaded.jdkFolder, settings.jdkFolder);
    EXPECT_EQ(reloaded.javacOptions, settings.javacOptions);
    EXPECT_EQ(reloaded.saveBeforeCompile, 1);
    EXPECT_EQ(reloaded.loadLastProject, 0);
    EXPECT_EQ(reloaded.keywordColour, settings.keywordColour);
    EXPECT_EQ(reloaded.commentColour, settings.commentColour);
    EXPECT_EQ(reloaded.stringColour, settings.stringColour);
}

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
        return QDialog::Rejected;
    });
    EXPECT_EQ(harness.app().settings().keywordColour, 0x00112233u);
    EXPECT_EQ(harness.app().settings().jdkFolder, QStringLiteral("/opt/old-jdk"));
    QFile after(harness.settingsFile());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST(Preferences, BrowseReplacesTheWholeFolderAndCancelLeavesIt) {
    AppHarness harness({}, presetPreferences);
    harness.prompter().chooseFolderNext(QStringLiteral("/usr/lib/jvm/picked"));
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, 1020);
        EXPECT_EQ(jdkEdit(dialog)->text(), QStringLiteral("/usr/lib/jvm/picked"));
        click(dialog, 1020); // cancelled
        EXPECT_EQ(jdkEdit(dialog)->text(), QStringLiteral("/usr/lib/jvm/picked"));
        return QDialog::Rejected;
    });
    EXPECT_EQ(harness.prompter().folderChooserTitles(),
              QStringList(2, QStringLiteral("Find the JDK Folder:")));
}

TEST(Preferences, OverlongJdkFolderIsRefusedWithAMessageAndKeptWhole) {
    const QString stored = QStringLiteral("/") + QString(299, QLatin1Char('j'));
    AppHarness harness({}, [&](fw::Profile &profile) {
        profile.writeString(kPaths, QStringLiteral("JAVABIN"), stored);
    });
    editPreferences(harness, [&](QDialog &dialog) {
        // The stored folder is shown whole, not cut at the limit.
        EXPECT_EQ(jdkEdit(dialog)->text(), stored);
        clickOk(dialog);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(harness.prompter().messageTexts(),
                  QStringList{QStringLiteral("The JDK folder may be at most 255 characters long; "
                                             "this one has 300. Please enter a shorter path.")});
        jdkEdit(dialog)->setText(QString(255, QLatin1Char('k')));
        clickOk(dialog);
        return QDialog::Rejected;
    });
    EXPECT_EQ(harness.app().settings().jdkFolder, QString(255, QLatin1Char('k')));
}

TEST(Preferences, NoteBelowTheJdkFolderTellsWhatJavacItHoldsAndNeverStopsOk) {
    const QString fake = testing_support::makeScratchFolder(QStringLiteral("fakejdk"));
    const QString javac = testing_support::writeFileIn(fake, QStringLiteral("bin/javac"),
                                                       "#!/bin/sh\necho 'javac 99.1'\n");
    QFile::setPermissions(javac, QFile::permissions(javac) | QFileDevice::ExeOwner);
    const QString empty = testing_support::makeScratchFolder(QStringLiteral("notajdk"));

    AppHarness harness({}, [&](fw::Profile &profile) {
        profile.writeString(kPaths, QStringLiteral("JAVABIN"), empty);
    });
    editPreferences(harness, [&](QDialog &dialog) {
        auto &preferences = static_cast<CPreferencesDialog &>(dialog);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return preferences.jdkNote() == JdkProbe::note(JdkProbe::Result::NoJavac); }));
        QLineEdit *edit = jdkEdit(dialog);
        edit->clear();
        QTest::keyClicks(edit, fake);
        EXPECT_EQ(preferences.jdkNote(), JdkProbe::searchingNote());
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return preferences.jdkNote() == QStringLiteral("Found javac 99.1 in this folder.");
        }));

        edit->setText(empty);
        clickOk(dialog);
        return QDialog::Rejected;
    });
    EXPECT_EQ(harness.app().settings().jdkFolder, empty);
}

TEST(Preferences, SourceWindowOpenedAfterOkUsesTheNewColours) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("Colours.java"), "public class C {}\n");
    harness.prompter().chooseColourNext(QColor(10, 20, 30));
    editPreferences(harness, [&](QDialog &dialog) {
        click(dialog, 1023);
        clickOk(dialog);
        return QDialog::Rejected;
    });
    fw::Document *document = harness.app().openDocumentFile(path);
    ASSERT_NE(document, nullptr);
    auto *view = dynamic_cast<CSyntaxWindowView *>(document->firstView());
    ASSERT_NE(view, nullptr);
    AppHarness::processEvents();
    const QTextBlock line = view->document()->firstBlock();
    QColor first;
    for (const QTextLayout::FormatRange &range : line.layout()->formats()) {
        if (range.start == 0) {
            first = range.format.foreground().color();
        }
    }
    EXPECT_EQ(first, QColor(10, 20, 30));
}

} // namespace
