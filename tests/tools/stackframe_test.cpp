#include "tools/stackframe.h"

#include "support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

// Each line of output and the frame it holds: the path from the package root, the line; an
// empty path where the line holds no frame with a file and line.
TEST(StackFrame, TakesThePackageFoldersFromTheClassAndTheLineFromTheFile) {
    const struct {
        QString line;
        QString relativePath;
        int number;
    } cases[] = {
        {"\tat edu.princeton.cs.algs4.FrequencyCounter.main(FrequencyCounter.java:57)",
         "edu/princeton/cs/algs4/FrequencyCounter.java", 57},
        {"\tat Main.main(Main.java:3)", "Main.java", 3},
        {"        at com.x.Outer$Inner.run(Outer.java:12)", "com/x/Outer.java", 12},
        {"\tat com.x.Outer.lambda$main$0(Outer.java:8)", "com/x/Outer.java", 8},
        {"\tat java.base/java.util.Scanner.next(Scanner.java:1478)", "java/util/Scanner.java",
         1478},
        {"\tat app//com.x.Main.<init>(Main.java:4)", "com/x/Main.java", 4},
        {"\tat java.base/jdk.internal.reflect.NativeMethodAccessorImpl.invoke0(Native Method)", "",
         0},
        {"\tat Main.main(Unknown Source)", "", 0},
        {"\tat Main.main(Main.java)", "", 0},
        {"\tat Main.main(Main.java:x)", "", 0},
        {"Exception in thread \"main\" java.lang.RuntimeException (Main.java:3)", "", 0},
        {"Main.java:3: error: ';' expected", "", 0},
        {"\tat main(Main.java:3)", "", 0},
    };
    for (const auto &test : cases) {
        const std::optional<jdk::StackFrame> frame = jdk::stackFrame(test.line);
        EXPECT_EQ(frame ? std::make_pair(frame->relativePath, frame->line)
                        : std::make_pair(QString(), 0),
                  std::make_pair(test.relativePath, test.number))
            << test.line.toStdString();
    }
}

} // namespace
