#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One argument split from a command line: its text after the quoting rules, and whether any
// part of it stood in quotes. A quoted argument is never expanded as a wildcard pattern.
struct CommandLineArgument {
    QString text;
    bool quoted = false;
};

// Splits a command line into arguments with the rules of the Microsoft C runtime of Visual C++
// 2008 and later (the universal CRT), so that a command line composed for a Windows program
// gives the same arguments here:
// - The first argument (argv[0], the program name) runs to the first space or tab outside
//   quotes; every double quote in it toggles quoting and is dropped; backslashes are plain.
//   It is always there, empty for an empty command line.
// - The other arguments are separated by spaces and tabs outside quotes. 2N backslashes
//   followed by a double quote give N backslashes, and the quote toggles quoting; 2N+1
//   backslashes followed by a double quote give N backslashes and a literal quote; backslashes
//   not followed by a double quote are kept as they are. Inside quotes two double quotes give
//   one literal quote and quoting goes on (the rule that runtime added in 2008).
QList<CommandLineArgument> SplitCommandLine(const QString &commandLine);

// True when name matches pattern, in which '*' stands for any run of characters and '?' for
// exactly one; every other character, '[' included, matches only itself, case-sensitively.
bool MatchesWildcard(const QString &name, const QString &pattern);

// The argument list a program receives from split arguments: argv[0] as it is, then each
// argument; an unquoted argument with '*' or '?' in its last path component is replaced by the
// names in its folder (the working folder unless the argument names another one) that match,
// sorted, each written with the folder part as the argument gave it. An argument that matches
// nothing, or has wildcards in its folder part, stays as written. As in a shell, a name that
// begins with '.' is only matched by a pattern that begins with '.'. A matched name that begins
// with '-' or '@' is written as ./name, so that no tool takes it for an option.
QStringList ExpandArguments(const QList<CommandLineArgument> &arguments,
                            const QString &workingFolder);
