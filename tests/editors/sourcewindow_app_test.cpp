#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

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

} // namespace
