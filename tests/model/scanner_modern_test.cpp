// The scanner on constructs of today's Java: what reaches the project, and the heads that look
// like types or methods but are none.
#include "model/javatextblocks.h"
#include "recordingsink.h"
#include "scannerprobe.h"

#include <gtest/gtest.h>

namespace {

QStringList entriesOf(const QString &text) {
    ScannerProbe scanner;
    scanner.ScanSource(text, QString(), nullptr);
    return scanner.entries();
}

TEST(TodaysJavaScan, EnumsRecordsAndGenericTypesReachTheProjectAsClasses) {
    const QString text = crlfLines(
        {"enum Level {", "  LOW { int weight() { return 1; } }, HIGH;", "  int weight() {",
         "    return 2;", "  }", "  record Range<T>(T low, T high) {", "    public Range {",
         "    }", "    T mid() {", "      return low;", "    }", "  }", "}",
         "class Queue<Item extends Comparable<Item>> {", "  class Node<Item> {", "  }", "}"});
    ScannerProbe scanner;
    RecordingSink project;
    scanner.ScanSource(text, QStringLiteral("L.java"), &project);
    EXPECT_EQ(project.m_calls,
              QStringList({"Clear L.java", "Class L.java Level", "Method L.java Level weight()",
                           "Inner L.java Level Range",
                           "InnerMethod L.java Level Range Range(T low, T high)",
                           "InnerMethod L.java Level Range mid()", "Class L.java Queue",
                           "Inner L.java Queue Node", "Updated"}));
    EXPECT_EQ(scanner.FindEntryOffset(QStringLiteral("Level.Range.Range(T low, T high)")),
              text.indexOf(QStringLiteral("    public Range")) + 2);
}

// The comment after the last constant is cut with the ";" before it: the constructor named like
// the enum still ends the constants.
TEST(TodaysJavaScan, EnumConstantsEndAtTheFirstHeadThatIsNoConstant) {
    EXPECT_EQ(entriesOf(crlfLines({"enum E {", "  A, B, C {", "    void f() {", "    }", "  },",
                                   "  @Deprecated D(4); // the last", "  E() {", "  }",
                                   "  private E(int x) {", "  }", "}"})),
              QStringList({"E", "E.E()", "E.E(int x)"}));
}

TEST(TodaysJavaScan, ExpressionsOpeningBracesAreNoMethods) {
    EXPECT_EQ(
        entriesOf(crlfLines({"class A {", "  Map<K, V> m = new HashMap<>() {{", "  }};",
                             "  Runnable r = new Runnable() {", "    public void run() {", "    }",
                             "  };", "  BinaryOperator<Integer> add = (a, b) -> {", "  };",
                             "  Runnable s = () -> {", "  };", "  void f() {", "  }", "}"})),
        QStringList({"A", "A.f()"}));
    // A field made with new before a static initialiser; a call in a field still counts.
    EXPECT_EQ(entriesOf(crlfLines({"class A {", "  Map<K, V> m = new HashMap<>();", "  static {",
                                   "  }", "  int x = f(3);", "  static {", "  }", "}"})),
              QStringList({"A", "A.f(3)"}));
    // Inside an inner class too, where the bodies at the next depth are examined.
    EXPECT_EQ(entriesOf(crlfLines({"class A {", "  class B {", "    Runnable r = () -> {", "    };",
                                   "    Object o = new Object() {", "    };", "    void g() {",
                                   "    }", "  }", "}"})),
              QStringList({"A", "A.B", "A.B.g()"}));
}

TEST(TodaysJavaScan, ContextualWordsAsNamesDeclareNoType) {
    EXPECT_EQ(entriesOf(crlfLines({"class A {", "  void record(int x) {", "  }",
                                   "  int enumerate(String enums) {", "  }", "}"})),
              QStringList({"A", "A.record(int x)", "A.enumerate(String enums)"}));
}

TEST(TodaysJavaScan, TextBlocksAreBlankedWithEveryOffsetKept) {
    const QString text = QStringLiteral("s = \"\"\"\r\n  { /* \\\"\"\" }\r\n  \"\"\"; t = "
                                        "\"\"\"\"; // \"\"\"\r\n/* \"\"\"\r\n */ u = \"\"\"\r\n {");
    const QString blanked = model::blankedTextBlocks(text);
    ASSERT_EQ(blanked.size(), text.size());
    EXPECT_EQ(blanked,
              QStringLiteral("s =    \r\n             \r\n     ; t = \"\"\"\"; // \"\"\"\r\n/* "
                             "\"\"\"\r\n */ u =    \r\n  "));
    EXPECT_TRUE(model::blankedTextBlocks(QStringLiteral("s = \"\"; t = \"\\\"\"")).isNull());
}

} // namespace
