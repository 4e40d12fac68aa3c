#include "tools/compilermarks.h"

#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/testenvironment.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using testing_support::writeFileIn;

struct MarksCase {
    const char *name;
    QString output; // %1 stands for the folder javac ran in
    // One "FILE LINE KIND TEXT" a mark, files below the folder javac ran in, in path order;
    // KIND is E or W.
    QStringList marks;
};

class CompilerMarksTest : public testing::TestWithParam<MarksCase> {};

// javac ran in <scratch>/java, which holds A.java, B.java, sub/C.java and odd.java:9/D.java.
TEST_P(CompilerMarksTest, GroupsTheMessagesOfEachFileWithTheLinesThatExplainThem) {
    const QString scratch = testing_support::makeScratchFolder(u"marks"_s);
    const QString folder = scratch + u"/java"_s;
    for (const char *name : {"A.java", "B.java", "sub/C.java", "odd.java:9/D.java"}) {
        writeFileIn(folder, QString::fromLatin1(name), "class X {}\n");
    }
    const MarksCase &test = GetParam();
    const jdk::CompilerMarks marks =
        jdk::compilerMarks(QString(test.output).replace(u"%1"_s, folder), folder);
    QStringList found;
    for (auto file = marks.cbegin(); file != marks.cend(); ++file) {
        for (const jdk::CompilerMark &mark : file.value()) {
            found << QStringList{file.key().mid(folder.size() + 1), QString::number(mark.line),
                                 mark.kind == CompilerMessageKind::Error ? u"E"_s : u"W"_s,
                                 mark.text}
                         .join(u' ');
        }
    }
    EXPECT_EQ(found, test.marks);
}

const MarksCase kMarksCases[] = {
    {"ErrorWithSourceLineCaretAndSymbol",
     u"A.java:3: error: cannot find symbol\r\n  f();\r\n  ^\r\n  symbol:   method f()\r\n"
     u"1 error\r\nExit code: 1\r\nThere were errors"_s,
     {u"A.java 3 E error: cannot find symbol\n  f();\n  ^\n  symbol:   method f()"_s}},
    {"ErrorsAndWarningsOfSeveralFilesInPathOrder",
     u"B.java:7: warning: [removal] r\r\n    g();\r\nA.java:2: error: ';' expected\r\n"
     u"sub/C.java:4: error: missing return\r\nA.java:2: warning: [cast] c\r\n2 errors\r\n"_s,
     {u"A.java 2 E error: ';' expected"_s, u"A.java 2 W warning: [cast] c"_s,
      u"B.java 7 W warning: [removal] r\n    g();"_s, u"sub/C.java 4 E error: missing return"_s}},
    {"AbsolutePathsDotsAndFolderNamesHoldingTheSuffix",
     u"%1/A.java:5: error: x\r\n./sub/../B.java:6: warning: y\r\nodd.java:9/D.java:4: error: z"_s,
     {u"A.java 5 E error: x"_s, u"B.java 6 W warning: y"_s, u"odd.java:9/D.java 4 E error: z"_s}},
    {"NotesAndTheCompilersOwnMessagesExplainNothing",
     u"A.java:1: warning: w\r\nNote: Some input files use unchecked or unsafe operations.\r\n"
     u"warning: [options] bootstrap class path not set\r\nerror: invalid flag: -q\r\n"_s,
     {u"A.java 1 W warning: w"_s}},
    {"LoneLineEndsAndBlankLinesAtTheEnd",
     u"A.java:9: error: x\r    y();\n\r\n\r\n"_s,
     {u"A.java 9 E error: x\n    y();"_s}},
    {"FilesThatAreNotThereAndLinesThatAreNoMessages",
     u"Gone.java:8: error: x\r\n    ignored();\r\nA.java:3: note: not a kind javac has\r\n"
     u"  A.java:3: error: indented\r\nExit code: 0\r\nNo Errors"_s,
     {}},
};

INSTANTIATE_TEST_SUITE_P(Outputs, CompilerMarksTest, testing::ValuesIn(kMarksCases),
                         testing_support::CaseName());

} // namespace
