#include "tools/servicerun.h"

#include "framework/prompter.h"
#include "javaservice/javaserviceclient.h"
#include "tools/commandline.h"
#include "tools/javaservices.h"
#include "tools/jdkcommands.h"
#include "tools/processrunner.h"

#include <QPointer>

namespace {

const QString kStartFailed = QStringLiteral("Failed to start process");

// The captured run in progress through the service, if any: its run token and request, and the
// command to start as a child when the service cannot finish it.
struct FedRun {
    quint64 token = 0;
    javaservice::RequestId request = 0;
    QString program;
    QString commandLine;
    QString folder;
};

FedRun &fedRun() {
    static FedRun run;
    return run;
}

// The service could not do the run: a child does it from the start.
void startAsChild(javaservice::RequestId request) {
    FedRun &run = fedRun();
    if (run.request != request || !DropFedRun(run.token)) {
        return;
    }
    const FedRun failed = std::exchange(run, {});
    if (!CProcessRunner().Start(failed.program, failed.commandLine, failed.folder)) {
        fw::prompter().message(kStartFailed);
    }
}

// Feeds the answers to the run in progress into its captured output; connected once.
void followFedRuns(javaservice::JavaServiceClient &client) {
    static QPointer<javaservice::JavaServiceClient> followed;
    if (followed == &client) {
        return;
    }
    followed = &client;
    QObject::connect(&client, &javaservice::JavaServiceClient::toolOutput, &client,
                     [](javaservice::RequestId id, const QByteArray &data) {
                         if (fedRun().request == id) {
                             AppendFedOutput(fedRun().token, data);
                         }
                     });
    QObject::connect(&client, &javaservice::JavaServiceClient::toolFinished, &client,
                     [](javaservice::RequestId id, int exitCode) {
                         if (fedRun().request == id) {
                             FinishFedRun(std::exchange(fedRun(), {}).token, exitCode);
                         }
                     });
    QObject::connect(&client, &javaservice::JavaServiceClient::failed, &client,
                     [](javaservice::RequestId id) { startAsChild(id); });
}

} // namespace

std::optional<ServiceToolRun> serviceToolRunFor(const QString &program, const QString &commandLine,
                                                const QString &folder) {
    const QString tool = jdk::fileNameOf(program);
    if (tool != QLatin1String("javac") && tool != QLatin1String("jar")) {
        return std::nullopt;
    }
    const QString bin = jdk::folderOf(program);
    if (jdk::fileNameOf(bin) != QLatin1String("bin")) {
        return std::nullopt;
    }
    const QString jdkFolder = jdk::folderOf(bin);
    if (!javaServiceCanServe(jdkFolder)) {
        return std::nullopt;
    }
    // The launcher prints that it picked these up, and expands class path wildcards in an order
    // of its own.
    if (qEnvironmentVariableIsSet("JAVA_TOOL_OPTIONS") || qEnvironmentVariableIsSet("_JAVA_OPTIONS")
        || qEnvironmentVariable("CLASSPATH").contains(QLatin1Char('*'))) {
        return std::nullopt;
    }
    QStringList arguments = ExpandArguments(SplitCommandLine(commandLine), folder);
    arguments.removeFirst();
    for (const QString &argument : std::as_const(arguments)) {
        if (argument.startsWith(QStringLiteral("-J"))) {
            return std::nullopt;
        }
    }
    return ServiceToolRun{jdkFolder, tool, arguments};
}

bool StartCapturedToolRun(CProcessRunner &runner, const QString &program,
                          const QString &commandLine, const QString &folder, bool withInput) {
    const std::optional<ServiceToolRun> viaService =
        withInput || !keepsCompilerRunning() ? std::nullopt
                                             : serviceToolRunFor(program, commandLine, folder);
    if (!viaService) {
        return runner.Start(program, commandLine, folder, withInput);
    }
    javaservice::JavaServiceClient &client = javaServices();
    followFedRuns(client);
    FedRun &run = fedRun();
    run = {0, 0, program, commandLine, folder};
    run.token = runner.StartFed(commandLine, folder, [] {
        // Abort: the service is ended with the tool it runs; a fresh one serves the next run.
        const FedRun aborted = std::exchange(fedRun(), {});
        javaServices().abort(aborted.request);
        FinishFedRun(aborted.token, kUserAbortExitCode);
    });
    if (run.token == 0) {
        run = {};
        return false;
    }
    run.request = javaServices().runTool(viaService->jdkFolder, folder, viaService->tool,
                                         viaService->arguments);
    return true;
}
