#pragma once

#include <QString>

// Starts applicationPath uncaptured in a terminal window of its own ("Run with Console"): the
// terminal runs the program with the arguments split from commandLine (as a captured run splits
// and expands them) in currentFolder, and keeps its window open after the program has ended
// until the user presses Enter. The terminal is $TERMINAL, else x-terminal-emulator, else the
// first of the common terminal emulators found on PATH; each is given the command the way it
// expects it. Nothing waits for the window, and the terminal is reaped when it closes.
//
// Returns false when no terminal could be started (none found, or the folder does not exist).
// Reporting that to the user is the caller's business.
bool StartConsoleProcess(const QString &applicationPath, const QString &commandLine,
                         const QString &currentFolder);
