#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "framework/profile.h"
#include "model/cjavafile.h"
#include "project/projectfile.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using testing_support::AppHarness;

CSyntaxWindowDoc *openSource(AppHarness &harness, const QString &name, const QByteArray &bytes) {
    return dynamic_cast<CSyntaxWindowDoc *>(
        harness.app().openDocumentFile(harness.writeFile(name, bytes)));
}

TEST(SourceWindowInTarvo, CommandsReachTheActiveSourceView) {
    AppHarness harness;
    CSyntaxWindowDoc *document = openSource(harness, QStringLiteral("A.java"), "a\nb\n");
    ASSERT_NE(document, nullptr);
    CMainFrame &frame = harness.mainFrame();
    EXPECT_FALSE(frame.commandState(CommandId::AddWindowToProject).isEnabled());
    EXPECT_FALSE(frame.commandState(CommandId::ShowProjectWindow).isEnabled());
    EXPECT_FALSE(frame.commandState(CommandId::Compile).isEnabled());

    document->GoToLine(1);
    EXPECT_EQ(frame.paneText(1), QStringLiteral("Line: 2"));
    EXPECT_TRUE(frame.executeCommand(CommandId::IncreaseIndent));
    EXPECT_EQ(document->editorText(), QStringLiteral("a\n\tb\n"));
}

TEST(SourceWindowInTarvo, SavingRefreshesTheFunctionList) {
    AppHarness harness;
    CSyntaxWindowDoc *document = openSource(harness, QStringLiteral("A.java"), "\n");
    ASSERT_NE(document, nullptr);
    CSyntaxWindowView *view = document->firstSourceView();
    QTest::keyClicks(view, QStringLiteral("class A {}"));
    QComboBox *list = view->childFrame()->functionList();
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::FileSave));
    EXPECT_EQ(list->count(), 1);
    // The offset lies past the declaration by the blank and brace that follow it.
    EXPECT_EQ(document->FindEntryOffset(QStringLiteral("A")), 2);
}

TEST(SourceWindowInTarvo, FailedSaveSaysSoAndLeavesTheDocumentModified) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("gone/A.java"), "class A {}\n");
    auto *document = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));
    ASSERT_NE(document, nullptr);
    QTest::keyClicks(document->firstSourceView(), QStringLiteral("x"));
    // The folder is replaced by a file: nothing can be written below it any more.
    const QString folder = harness.folder() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir(folder).removeRecursively());
    harness.writeFile(QStringLiteral("gone"), "not a folder");

    EXPECT_TRUE(harness.mainFrame().executeCommand(CommandId::FileSave));
    ASSERT_EQ(harness.prompter().messageTexts().size(), 1);
    EXPECT_TRUE(harness.prompter().messageTexts().front().startsWith(
        QStringLiteral("Failed to save ") + path));
    EXPECT_TRUE(document->isModified());
}

// The font chosen in one window is where every new window starts, in this session and the next;
// the Font dialog starts from it.
TEST(SourceWindowInTarvo, ChosenFontIsTheFontOfNewWindowsAndOfTheNextStart) {
    auto harness = std::make_unique<AppHarness>();
    CMainFrame &frame = harness->mainFrame();
    ASSERT_TRUE(frame.executeCommand(CommandId::FileNew));
    harness->prompter().chooseFontNext(QFont(QStringLiteral("Liberation Mono"), 14));
    ASSERT_TRUE(frame.executeCommand(CommandId::Font));

    ASSERT_TRUE(frame.executeCommand(CommandId::FileNew));
    const auto activeFont = [&frame] {
        auto *view = dynamic_cast<CSyntaxWindowView *>(frame.activeView());
        return view ? view->font() : QFont();
    };
    EXPECT_EQ(activeFont().pointSize(), 14);
    EXPECT_EQ(activeFont().family(), QStringLiteral("Liberation Mono"));
    frame.executeCommand(CommandId::Font); // cancelled
    ASSERT_EQ(harness->prompter().fontChooserStarts().size(), 2U);
    EXPECT_EQ(harness->prompter().fontChooserStarts().back().pointSize(), 14);

    // The next start, on the font settings this one stored.
    QStringList stored;
    const QStringList keys{QStringLiteral("FONTNAME"), QStringLiteral("FONTSIZE")};
    for (const QString &key : keys) {
        stored << harness->storedSettings()->readString(QStringLiteral("OPTIONS"), key, QString());
    }
    harness.reset();
    AppHarness next(QStringList(), [&](fw::Profile &profile) {
        for (int index = 0; index < keys.size(); ++index) {
            profile.writeString(QStringLiteral("OPTIONS"), keys.at(index), stored.at(index));
        }
    });
    CSyntaxWindowDoc *document = openSource(next, QStringLiteral("A.java"), "class A {}\n");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->firstSourceView()->font().pointSize(), 14);
}

// Save As of a window never saved proposes the file javac wants for its public class; a window
// without one, and a window saved before, propose what they are called.
TEST(SourceWindowInTarvo, SaveAsProposesTheFileOfThePublicClass) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const auto proposed = [&harness, &frame] {
        harness.prompter().clear();
        frame.executeCommand(CommandId::FileSaveAs); // cancelled
        const auto &dialogs = harness.prompter().fileDialogs();
        return dialogs.empty() ? QString() : dialogs.back().initialName;
    };
    ASSERT_TRUE(frame.executeCommand(CommandId::FileNew));
    const QString untitled = frame.activeDocument()->title();
    EXPECT_EQ(proposed(), untitled);
    QWidget *editor = frame.activeView()->widget();
    QTest::keyClicks(editor, QStringLiteral("class Other {}"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("public class Helper {"));
    EXPECT_EQ(proposed(), QStringLiteral("Helper.java"));

    const QString path = harness.folder() + QStringLiteral("/Helper.java");
    harness.prompter().saveAsNext(path);
    ASSERT_TRUE(frame.executeCommand(CommandId::FileSaveAs));
    EXPECT_EQ(frame.activeDocument()->pathName(), path);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("public class Renamed {}"));
    EXPECT_EQ(proposed(), QStringLiteral("Helper.java"));
}

// A new window's Save As opens in the open project's folder, beside the files its class is
// compiled with; without a project it opens where the dialog was last.
TEST(SourceWindowInTarvo, SaveAsOfANewWindowOpensInTheProjectsFolder) {
    AppHarness harness;
    CMainFrame &frame = harness.mainFrame();
    const auto proposedFolder = [&harness, &frame] {
        harness.prompter().clear();
        EXPECT_TRUE(frame.executeCommand(CommandId::FileNew));
        frame.executeCommand(CommandId::FileSaveAs); // cancelled
        const auto &dialogs = harness.prompter().fileDialogs();
        return dialogs.empty() ? QStringLiteral("no dialog") : dialogs.back().initialFolder;
    };
    EXPECT_EQ(proposedFolder(), QString());

    ProjectFileContents contents;
    auto file = std::make_unique<CJavaFile>();
    file->SetFileName(QStringLiteral("Main.java"));
    file->SetPath(harness.writeFile(QStringLiteral("app/Main.java"), "public class Main {}\n"));
    contents.m_fileList.Add(file);
    contents.m_strMainFile = QStringLiteral("Main.java");
    ASSERT_NE(harness.app().openDocumentFile(
                  harness.writeFile(QStringLiteral("P.jpr"), storeProjectFile(contents))),
              nullptr);
    EXPECT_EQ(proposedFolder(), harness.folder() + QStringLiteral("/app"));
}

} // namespace
