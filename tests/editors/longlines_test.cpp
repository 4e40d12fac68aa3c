#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/longlines.h"

#include "sourcewindowfixture.h"
#include "support/qtprinters.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using editors::LongLines;
using editors_testing::SourceWindow;

// A class whose second line holds an array of about a megabyte.
QByteArray fileWithLongLine() {
    QByteArray array = "    int[] data = {";
    while (array.size() < 1'000'000) {
        array += QByteArray::number(array.size() % 1000) + ", ";
    }
    return "class Data {\n" + array + "0};\n}\n";
}

QByteArray savedFile(SourceWindow &window) {
    EXPECT_TRUE(window.document()->onSaveDocument(window.path));
    QFile file(window.path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// A line of a megabyte is shown as its first characters; typing on it, breaking it and joining
// it with the next line act on the text as the file holds it, the hidden rest of the line kept
// where it stands.
TEST(LongLines, EditsOfAShortenedLineKeepItsHiddenEndInPlace) {
    const QByteArray original = fileWithLongLine();
    SourceWindow window(original);
    const QTextBlock longLine = window.block(1);
    ASSERT_EQ(longLine.length() - 1, LongLines::kLongestShownLine);
    EXPECT_EQ(window.document()->editorText().toUtf8(), original);

    const int shownEnd = longLine.position() + longLine.length() - 1;
    window.setCursor(shownEnd, shownEnd);
    QTest::keyClicks(window.view(), "/*x*/");
    window.setCursor(longLine.position(), longLine.position());
    QTest::keyClick(window.view(), Qt::Key_Return);
    const QTextBlock lastLine = window.block(3);
    window.setCursor(lastLine.position(), lastLine.position());
    QTest::keyClick(window.view(), Qt::Key_Backspace);
    EXPECT_EQ(window.block(2).text().size(), LongLines::kLongestShownLine + 5 + 1);

    QByteArray expected = original;
    const qsizetype lineStart = expected.indexOf('\n') + 1;
    expected.insert(lineStart + LongLines::kLongestShownLine, "/*x*/");
    expected.insert(lineStart, "\n");
    expected.remove(expected.lastIndexOf("\n}"), 1);
    EXPECT_EQ(savedFile(window), expected);
}

// A selection across the hidden end (here everything) copies the whole text; typing over it
// replaces the whole text, and undoing that brings the whole text back.
TEST(LongLines, SelectionAcrossAHiddenEndCopiesReplacesAndUndoesTheWholeText) {
    const QByteArray original = fileWithLongLine();
    SourceWindow window(original);
    QTest::keyClick(window.view(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window.view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8(), original);
    QTest::keyClicks(window.view(), "class Empty {}");
    EXPECT_EQ(savedFile(window), "class Empty {}");
    QTextDocument *text = window.document()->textDocument();
    while (text->isUndoAvailable()) {
        text->undo();
    }
    EXPECT_EQ(savedFile(window), original);
}

} // namespace
