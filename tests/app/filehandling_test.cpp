#include "app/cketrelapp.h"
#include "app/cmainframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "framework/commandids.h"
#include "support/appharness.h"
#include "support/qtprinters.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using testing_support::AppHarness;

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Before, the open project was closed first; then the new file turned out to be damaged and
// no project was left.
TEST(DamagedProject, IsRefusedAndTheOpenProjectStays) {
    AppHarness harness;
    // A project file with nothing in it: the file count and five empty strings.
    const QString good =
        harness.writeFile(QStringLiteral("good/Good.jpr"), QByteArray("\0\0\0\0\0\0\0\0\0", 9));
    fw::Document *open = harness.app().openDocumentFile(good);
    ASSERT_NE(open, nullptr);
    const QString damaged = harness.writeFile(QStringLiteral("D.jpr"), QByteArray("\x01\0\0", 3));

    EXPECT_EQ(harness.app().openDocumentFile(damaged), nullptr);
    AppHarness::processEvents();
    EXPECT_EQ(harness.prompter().messageTexts(),
              QStringList{QStringLiteral("Unexpected file format.")});
    EXPECT_EQ(harness.app().GetProjectDoc(), open);
    EXPECT_EQ(harness.mainFrame().frames().size(), 1u);
}

// Saving used to overwrite silently what another program had written to the file meanwhile.
TEST(ChangedOnDisk, SavingOverAnotherProgramsVersionAsksFirst) {
    AppHarness harness;
    const QString path = harness.writeFile(QStringLiteral("A.java"), "class A {}\n");
    auto *document = dynamic_cast<CSyntaxWindowDoc *>(harness.app().openDocumentFile(path));
    ASSERT_NE(document, nullptr);
    const auto type = [&](const QString &text) {
        QTest::keyClicks(document->firstSourceView(), text);
    };
    const auto save = [&] { return harness.mainFrame().executeCommand(CommandId::FileSave); };
    const QStringList question{
        QStringLiteral("%1 was changed by another program. Save and replace it?").arg(path)};
    type(QStringLiteral("x"));
    harness.writeFile(QStringLiteral("A.java"), "class A { int theirs; }\n");

    harness.prompter().answerNext(fw::Answer::No);
    EXPECT_TRUE(save());
    EXPECT_EQ(harness.prompter().messageTexts(), question);
    EXPECT_EQ(contentsOf(path), QByteArray("class A { int theirs; }\n"));
    EXPECT_TRUE(document->isModified());

    harness.prompter().clear();
    harness.prompter().answerNext(fw::Answer::Yes);
    EXPECT_TRUE(save());
    EXPECT_EQ(harness.prompter().messageTexts(), question);
    EXPECT_EQ(contentsOf(path), QByteArray("xclass A {}\n"));
    EXPECT_FALSE(document->isModified());

    // Its own last version is overwritten without a question, and so is a file that is gone.
    harness.prompter().clear();
    type(QStringLiteral("y"));
    EXPECT_TRUE(save());
    ASSERT_TRUE(QFile::remove(path));
    type(QStringLiteral("z"));
    EXPECT_TRUE(save());
    EXPECT_TRUE(harness.prompter().messages().empty());
    EXPECT_EQ(contentsOf(path), QByteArray("xyzclass A {}\n"));
}

// Opens and saves texts without a window, as every source and HTML window does.
class TextFile : public PlainTextDocument {
public:
    using PlainTextDocument::readContents;
    using PlainTextDocument::writeContents;
};

// U+FDD0 and U+FDD1 (like U+2029) split the editor's text into lines; a file holding one came
// back with a line break in its place.
TEST(SourceFileBytes, EveryCharacterComesBackFromOpenAndSaveUnchanged) {
    TextFile file;
    for (char32_t code = 0; code <= 0x10FFFF && !testing::Test::HasFailure();
         code = code < 0xFFFF ? code + 1 : code + 0x1001) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        const QByteArray bytes = "a" + QString::fromUcs4(&code, 1).toUtf8() + "b\n";
        QString error;
        ASSERT_TRUE(file.readContents(bytes, &error));
        EXPECT_EQ(file.writeContents(), bytes) << "U+" << std::hex << unsigned(code);
    }
}

} // namespace
