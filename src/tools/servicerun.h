#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class CProcessRunner;

// Captured tool runs through Tarvo's resident Java service. javac and jar run inside the
// service of the folder they run in, with exactly the arguments the child would get (the
// command line split and its wildcards expanded as for a child), and what they print is fed into
// the captured output as a child's would be: the output window, the exit line, the verdict and
// the message jumps cannot tell the difference. A run the service cannot do exactly goes to a
// child process as before, and so does a run whose service cannot start or ends before it
// answers (the child then starts afresh, in place of what the service had printed).

// What a run through the service needs: the JDK, the tool and its arguments.
struct ServiceToolRun {
    QString jdkFolder;
    QString tool;
    QStringList arguments;
};

// The run the service would make of a captured tool run, or none when only a child can do it
// exactly: a tool other than javac or jar of a JDK of Java 9 or later (one with a release file
// that says so), a launcher option (-J...) among the arguments, or an environment that the
// tool's own launcher would act on (JAVA_TOOL_OPTIONS and _JAVA_OPTIONS, which it prints, or a
// CLASSPATH with wildcards, which it expands).
std::optional<ServiceToolRun> serviceToolRunFor(const QString &program, const QString &commandLine,
                                                const QString &folder);

// Starts a captured tool run: through the service when the setting keeps one running and the
// service can do the run, else as a child process (runner.Start). False, as Start gives, when
// nothing was started.
bool StartCapturedToolRun(CProcessRunner &runner, const QString &program,
                          const QString &commandLine, const QString &folder, bool withInput);
