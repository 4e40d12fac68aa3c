#include "model/scanrecording.h"
#include "recordingsink.h"
#include "scannerprobe.h"
#include "support/casename.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<int, QString>>;

struct ScanCase {
    const char *name;
    QString text;
    Entries expected;
};

class ScanExamples : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanExamples, GiveTheseEntriesAndOffsets) {
    ScannerProbe scanner;
    scanner.ScanSource(GetParam().text, QString(), nullptr);
    Entries found;
    for (int i = 0; i < scanner.entries().size(); ++i) {
        found.emplace_back(scanner.entryOffset(i), scanner.entries()[i]);
    }
    EXPECT_EQ(found, GetParam().expected);
}

const QString kFooIndented =
    crlfLines({"package p;", "import java.awt.*;", "", "public class Foo extends Frame {",
               "  public Foo() {", "  }", "  public void paint(Graphics g) {", "  }", "}"});
const QString kFooFlush =
    crlfLines({"package p;", "import java.awt.*;", "", "public class Foo extends Frame {",
               "public Foo() {", "}", "public void paint(Graphics g) {", "}", "}"});
const QString kInnerThenMethod =
    crlfLines({"class A {", "class B {", "void g() {", "}", "}", "void f() {", "}", "}"});

INSTANTIATE_TEST_SUITE_P(
    Scanner, ScanExamples,
    testing::Values(
        ScanCase{"FooWithBodiesIndentedByTwoSpaces",
                 kFooIndented,
                 {{36, "Foo"}, {70, "Foo.Foo()"}, {93, "Foo.paint(Graphics g)"}}},
        ScanCase{"FooWithoutIndentation",
                 kFooFlush,
                 {{36, "Foo"}, {70, "Foo.Foo()"}, {89, "Foo.paint(Graphics g)"}}},
        ScanCase{"MethodBraceAtDepthTwoEndsTheInnerClass",
                 kInnerThenMethod,
                 {{2, "A"}, {13, "A.B"}, {24, "A.B.g()"}, {42, "A.f()"}}},
        ScanCase{"ClassDirectlyAfterRemovedCommentIsFound",
                 QStringLiteral("/* note */class A {\r\n}"),
                 {{12, "A"}}},
        ScanCase{"StatementBlocksInMethodsGiveNoEntry",
                 crlfLines({"class A {", "void f() {", "if (x) {", "}", "}", "class B {",
                            "void g() {", "if (y) {", "}", "}", "}", "}"}),
                 {{2, "A"}, {13, "A.f()"}, {41, "A.B"}, {52, "A.B.g()"}}},
        ScanCase{
            "InterfaceIsRecordedLikeAClass", crlfLines({"interface Shape {", "}"}), {{2, "Shape"}}},
        ScanCase{"BracesInUnendedLastLineCommentStillCount",
                 QStringLiteral("class A {\r\n}\r\n// f() { }"),
                 {{2, "A"}, {16, "A.f()"}}},
        ScanCase{"ClassWithoutClosingBraceGivesNothing", QStringLiteral("class A {"), {}},
        ScanCase{"ExtraClosingBraceEndsTheScan", crlfLines({"}", "class A {", "}"}), {}},
        ScanCase{"TextWithoutBracesGivesNothing", QStringLiteral("class A;"), {}},
        ScanCase{"ParameterListOverTwoLinesIsJoined",
                 crlfLines({"class A {", "void f(int a,", "int b) {", "}", "}"}),
                 {{2, "A"}, {13, "A.f(int a, int b)"}}},
        ScanCase{
            "MethodBeforeAnyClassHasEmptyClassName", crlfLines({"void f() {", "}"}), {{2, ".f()"}}},
        ScanCase{"FieldInitialiserCallIsTakenAsMethod",
                 crlfLines({"class A {", "int x = f(3);", "static {", "}", "}"}),
                 {{2, "A"}, {13, "A.f(3)"}}},
        ScanCase{
            "ClassTwoLevelsDeepReplacesTheInnerClass",
            crlfLines({"class A {", "class B {", "class C {", "void h() {", "}", "}", "}", "}"}),
            {{2, "A"}, {13, "A.B"}, {24, "A.C"}}}),
    testing_support::CaseName());

TEST(Scanner, ReportsClassesAndMethodsToTheProjectInOrder) {
    ScannerProbe scanner;
    RecordingSink project;
    scanner.ScanSource(kInnerThenMethod, QStringLiteral("/p/A.java"), &project);
    EXPECT_EQ(project.m_calls,
              QStringList({"Clear /p/A.java", "Class /p/A.java A", "Inner /p/A.java A B",
                           "InnerMethod /p/A.java A B g()", "Method /p/A.java A f()", "Updated"}));
}

// A scan made without the path (as when a file is scanned while it is being read) reaches the
// project later exactly as a scan made there would, each call naming the path given then.
TEST(Scanner, RecordedReportsReplayAsTheScanWouldHaveMadeThem) {
    ScannerProbe scanner;
    ScanRecording recording;
    scanner.ScanSource(kInnerThenMethod, QString(), &recording);
    RecordingSink replayed;
    recording.replay(replayed, QStringLiteral("/p/A.java"));

    ScannerProbe direct;
    RecordingSink project;
    direct.ScanSource(kInnerThenMethod, QStringLiteral("/p/A.java"), &project);
    EXPECT_EQ(replayed.m_calls, project.m_calls);
}

TEST(Scanner, FindEntryOffsetLooksUpExactEntryText) {
    ScannerProbe scanner;
    scanner.ScanSource(kFooIndented, QString(), nullptr);
    EXPECT_EQ(scanner.FindEntryOffset(QStringLiteral("Foo.paint(Graphics g)")), 93);
    EXPECT_EQ(scanner.FindEntryOffset(QStringLiteral("Foo.paint")), -1);
}

TEST(Scanner, RescanDropsEntriesOfThePreviousText) {
    ScannerProbe scanner;
    scanner.ScanSource(kFooIndented, QString(), nullptr);
    scanner.ScanSource(crlfLines({"class B {", "}"}), QString(), nullptr);
    EXPECT_EQ(scanner.entries(), QStringList({"B"}));
    EXPECT_EQ(scanner.entryOffset(1), -1);
    EXPECT_EQ(scanner.FindEntryOffset(QStringLiteral("Foo")), -1);
}

TEST(Scanner, EntriesBeyondTheOffsetTableAreNotListedButReachTheProject) {
    QString text = QStringLiteral("class A {\r\n");
    for (int i = 0; i < 300; ++i) {
        text += QStringLiteral("void m%1() {\r\n}\r\n").arg(i);
    }
    text += QStringLiteral("}\r\n");
    ScannerProbe scanner;
    RecordingSink project;
    scanner.ScanSource(text, QStringLiteral("A.java"), &project);
    LiteralScanner literal;
    literal.scan(text, QString(), nullptr);

    EXPECT_EQ(scanner.entries(), literal.entryNames.mid(0, JavaSourceScanner::kMaxEntries));
    EXPECT_EQ(scanner.offsets(), literal.entryOffsets.mid(0, JavaSourceScanner::kMaxEntries));
    EXPECT_EQ(scanner.FindEntryOffset(QStringLiteral("A.m299()")), -1);
    EXPECT_EQ(project.m_calls.filter(QStringLiteral("Method ")).size(), 300);
}

} // namespace
