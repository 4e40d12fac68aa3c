#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A frame of a Java stack trace as a running program prints it:
// "\tat edu.princeton.cs.algs4.FrequencyCounter.main(FrequencyCounter.java:57)". The file of the
// frame is found by its package folders and file name, not by its name alone: Counter.java and
// FrequencyCounter.java, or Queue.java and LinkedQueue.java, would otherwise be taken for each
// other.
namespace jdk {

struct StackFrame {
    // The file's path from the root of its package folders: edu/princeton/cs/algs4/Counter.java,
    // or the file name alone for a class in no package.
    QString relativePath;
    QString fileName;
    int line = 0; // 1-based
};

// The frame a line of output holds: "at", the qualified method (after an optional module or
// class loader and a '/'), then "(File.java:N)". None for any other line, and for frames that
// give no file and line ("(Native Method)", "(Unknown Source)").
std::optional<StackFrame> stackFrame(QStringView line);

} // namespace jdk
