#pragma once

#include <QString>

// What became of a start in a console of its own.
enum class ConsoleStart {
    Started,
    // The program cannot be run or the folder does not exist.
    Failed,
    // No terminal emulator was found, or none of those found could be started.
    NoTerminal,
};

// Starts applicationPath uncaptured in a terminal window of its own ("Run with Console"): the
// terminal runs the program with the arguments split from commandLine (as a captured run splits
// and expands them) in currentFolder, and keeps its window open after the program has ended
// until the user presses Enter. The terminal is $TERMINAL, else x-terminal-emulator, else the
// first of the common terminal emulators found on PATH; each is given the command the way it
// expects it. Nothing waits for the window, and the terminal is reaped when it closes.
//
// With an input file the program reads its standard input from that file.
//
// Reporting a failed start to the user is the caller's business.
ConsoleStart StartConsoleProcess(const QString &applicationPath, const QString &commandLine,
                                 const QString &currentFolder, const QString &inputFile = {});
