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
     u"A.java:3: error: cannot find symbol\r\n"
     u"        undefined();\r\n"
     u"        ^\r\n"
     u"  symbol:   method undefined()\r\n"
     u"  location: class A\r\n"
     u"1 error\r\n"
     u"Exit code: 1\r\n"
     u"There were errors"_s,
     {u"A.java 3 E error: cannot find symbol\n"
      u"        undefined();\n"
      u"        ^\n"
      u"  symbol:   method undefined()\n"
      u"  location: class A"_s}},
    {"ErrorsAndWarningsOfSeveralFilesInPathOrder",
     u"B.java:7: warning: [removal] Runtime in java.lang has been deprecated\r\n"
     u"    Runtime.runFinalizersOnExit(true);\r\n"
     u"A.java:2: error: ';' expected\r\n"
     u"    int x = 1\r\n"
     u"             ^\r\n"
     u"sub/C.java:4: error: missing return statement\r\n"
     u"A.java:2: warning: [cast] redundant cast to int\r\n"
     u"2 errors\r\n"
     u"1 warning\r\n"
     u"Exit code: 1\r\n"
     u"There were errors"_s,
     {u"A.java 2 E error: ';' expected\n    int x = 1\n             ^"_s,
      u"A.java 2 W warning: [cast] redundant cast to int"_s,
      u"B.java 7 W warning: [removal] Runtime in java.lang has been deprecated\n"
      u"    Runtime.runFinalizersOnExit(true);"_s,
      u"sub/C.java 4 E error: missing return statement"_s}},
    {"AbsolutePathsAndDotsNameTheSameFiles",
     u"%1/A.java:5: error: x\r\n./sub/../B.java:6: warning: y\r\n"_s,
     {u"A.java 5 E error: x"_s, u"B.java 6 W warning: y"_s}},
    {"NotesAndTheCompilersOwnMessagesExplainNothing",
     u"A.java:1: warning: [deprecation] f() in B has been deprecated\r\n"
     u"Note: Some input files use unchecked or unsafe operations.\r\n"
     u"Note: Recompile with -Xlint:unchecked for details.\r\n"
     u"warning: [options] bootstrap class path not set\r\n"
     u"error: invalid flag: -q\r\n"
     u"Usage: javac <options> <source files>\r\n"_s,
     {u"A.java 1 W warning: [deprecation] f() in B has been deprecated"_s}},
    {"LoneLineEndsAndBlankLinesAtTheEnd",
     u"A.java:9: error: x\r    y();\n\r\n\r\n"_s,
     {u"A.java 9 E error: x\n    y();"_s}},
    {"FolderNameHoldingTheSuffix",
     u"odd.java:9/D.java:4: error: z\r\n"_s,
     {u"odd.java:9/D.java 4 E error: z"_s}},
    {"FilesThatAreNotThereAndLinesThatAreNoMessages",
     u"Gone.java:8: error: x\r\n"
     u"    ignored();\r\n"
     u"A.java:3: note: not a kind javac has\r\n"
     u"  A.java:3: error: indented\r\n"
     u"Picked up JAVA_TOOL_OPTIONS: -Dfile.encoding=UTF8\r\n"
     u"Exit code: 0\r\nNo Errors"_s,
     {}},
};

INSTANTIATE_TEST_SUITE_P(Outputs, CompilerMarksTest, testing::ValuesIn(kMarksCases),
                         testing_support::CaseName());

} // namespace
