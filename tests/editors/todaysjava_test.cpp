// Source windows on Java of today: text blocks while typing, and the colour of the text's last
// characters.
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"

#include "sourcewindowfixture.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using editors_testing::SourceWindow;

TEST(TextBlockColouring, LinesTypedInsideATextBlockAreStringUpToItsEnd) {
    SourceWindow window("class A {\n  String s = \"\"\"\n    x\n    \"\"\"; int y;\n}\n");
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("SSSSS"));

    window.setCursor(31, 31);
    QTest::keyClicks(window.view(), QStringLiteral("if {"));
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("SSSSSSSSS"));
    // The line that closes the block: String to the three quotes, code after them.
    window.setCursor(37, 37);
    QTest::keyClicks(window.view(), QStringLiteral(" "));
    EXPECT_EQ(window.drawnClasses(3), QStringLiteral("SSSSSSSS..KKK..."));

    // A text block opened by typing makes the lines typed below it String.
    window.setCursor(9, 9);
    QTest::keyClick(window.view(), Qt::Key_Return);
    QTest::keyClicks(window.view(), QStringLiteral("String t = \"\"\""));
    QTest::keyClick(window.view(), Qt::Key_Return);
    QTest::keyClicks(window.view(), QStringLiteral("int"));
    EXPECT_EQ(window.drawnClasses(1), QStringLiteral("...........SSS"));
    EXPECT_EQ(window.drawnClasses(2), QStringLiteral("SSS"));
}

// A comment or string that runs to the end of a file without a final line break is coloured to
// its last character, when the file is opened, after F3 and as it is typed.
TEST(EndOfTextColouring, CommentAndStringReachTheLastCharacter) {
    SourceWindow window("class Calculator {}\n// end of Calculator");
    const QString comment(20, u'C');
    EXPECT_EQ(window.drawnClasses(1), comment);
    window.view()->ColourAll(true);
    EXPECT_EQ(window.drawnClasses(1), comment);
    window.setCursor(40, 40);
    QTest::keyClicks(window.view(), QStringLiteral("s"));
    EXPECT_EQ(window.drawnClasses(1), comment + u'C');

    SourceWindow closed("String s = \"abc\"");
    EXPECT_EQ(closed.drawnClasses(0), QStringLiteral("...........SSSSS"));
    SourceWindow block("int x; /* tail");
    EXPECT_EQ(block.drawnClasses(0), QStringLiteral("KKK....CCCCCCC"));
}

} // namespace
