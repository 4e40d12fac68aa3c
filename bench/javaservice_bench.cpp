// The resident Java service beside javac started as a program, on the installed JDK; medians of
// several runs side by side in one table:
// - the build of a one-class project, and its first request (which starts the service);
// - the build of a generated tree of 200 files reached from one class (Queue and what it uses);
// - errors shown after the last keystroke in a 2,000-line file of that tree, in a real source
//   window, and how long each keystroke takes while checks run;
// - the resident size of the service after those builds, once it has settled, and of an idle
//   Tarvo that has not built (run as its own process, see tarvoIdleResidentKb).
// Run it on a quiet machine; the table says how loaded the machine was.
#include "editors/cchildframe.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/linemarks.h"
#include "editors/livechecker.h"
#include "editors/sourceproject.h"
#include "framework/document.h"
#include "javaservice/javaserviceclient.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/javaservices.h"

#include "benchmeasure.h"
#include "benchproject.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 7;
constexpr int kTreeFiles = 200;
constexpr int kBigFileLines = 2000;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool processEventsUntil(const std::function<bool()> &condition, int timeoutMs = 300000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return condition();
}

// A project of kTreeFiles files in package gen: Queue uses Node and the chain C000 -> C001 ->
// ... -> C196, and Big, a 2,000-line class, uses them too.
void writeTree(const QString &root) {
    write(root + "/gen/Node.java",
          "package gen;\nclass Node<T> {\n    T item;\n    Node<T> next;\n}\n");
    write(root + "/gen/Queue.java",
          "package gen;\n\npublic class Queue<T> implements Iterable<T> {\n"
          "    private Node<T> first, last;\n    private int n;\n    private final C000 stats = "
          "new C000();\n"
          "    public void enqueue(T item) {\n        Node<T> old = last;\n        last = new "
          "Node<>();\n        last.item = item;\n        if (n++ == 0) first = last; else "
          "old.next = last;\n        stats.touch(n);\n    }\n"
          "    public T dequeue() {\n        T item = first.item;\n        first = first.next;\n"
          "        if (--n == 0) last = null;\n        return item;\n    }\n"
          "    public java.util.Iterator<T> iterator() {\n        return new "
          "java.util.Iterator<T>() {\n"
          "            Node<T> at = first;\n            public boolean hasNext() { return at != "
          "null; }\n"
          "            public T next() { T item = at.item; at = at.next; return item; }\n"
          "        };\n    }\n}\n");
    const int chain = kTreeFiles - 3;
    for (int index = 0; index < chain; ++index) {
        const QByteArray name = "C" + QByteArray::number(index).rightJustified(3, '0');
        const QByteArray next =
            index + 1 < chain ? "C" + QByteArray::number(index + 1).rightJustified(3, '0') : "";
        QByteArray text = "package gen;\n\nimport java.util.*;\n\npublic class " + name
                          + " {\n"
                            "    private final List<Integer> seen = new ArrayList<>();\n"
                            "    private final Map<String, Integer> counts = new HashMap<>();\n";
        if (!next.isEmpty()) {
            text += "    private final " + next + " next = new " + next + "();\n";
        }
        text += "    public void touch(int value) {\n        seen.add(value);\n"
                "        counts.merge(\"v\" + value, 1, Integer::sum);\n";
        if (!next.isEmpty()) {
            text += "        next.touch(value + 1);\n";
        }
        text +=
            "    }\n    public int total() {\n        int sum = 0;\n"
            "        for (int v : seen) sum += v;\n        return sum;\n    }\n"
            "    public String describe() {\n        StringBuilder text = new StringBuilder();\n"
            "        for (Map.Entry<String, Integer> e : counts.entrySet()) {\n"
            "            text.append(e.getKey()).append('=').append(e.getValue()).append(';');\n"
            "        }\n        return text.toString();\n    }\n}\n";
        write(root + "/gen/" + name + ".java", text);
    }
    QByteArray big = "package gen;\n\npublic class Big {\n";
    for (int method = 0; big.count('\n') < kBigFileLines - 2; ++method) {
        const QByteArray used = "C" + QByteArray::number(method % chain).rightJustified(3, '0');
        big += "    public int m" + QByteArray::number(method) + "(int a) {\n        " + used
               + " c = new " + used
               + "();\n        c.touch(a);\n        Queue<String> q = new "
                 "Queue<>();\n        q.enqueue(c.describe());\n        int total = c.total();\n"
                 "        for (String s : q) total += s.length();\n        return total + a;\n"
                 "    }\n";
    }
    write(root + "/gen/Big.java", big + "}\n");
}

// javac as a program, in folder; its time in milliseconds.
double childJavac(const QString &folder, const QStringList &arguments) {
    QElapsedTimer clock;
    clock.start();
    QProcess javac;
    javac.setWorkingDirectory(folder);
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(jdkFolder() + "/bin/javac", arguments);
    javac.waitForFinished(300000);
    if (javac.exitCode() != 0) {
        qFatal("javac failed: %s", javac.readAll().constData());
    }
    return clock.nsecsElapsed() / 1e6;
}

// The same through the service; its time in milliseconds.
double serviceJavac(javaservice::JavaServiceClient &client, const QString &folder,
                    const QStringList &arguments) {
    QElapsedTimer clock;
    clock.start();
    bool done = false;
    int exitCode = -1;
    const javaservice::RequestId id = client.runTool(jdkFolder(), folder, "javac", arguments);
    const QMetaObject::Connection finished =
        QObject::connect(&client, &javaservice::JavaServiceClient::toolFinished,
                         [&](javaservice::RequestId answered, int code) {
                             done = done || answered == id;
                             exitCode = answered == id ? code : exitCode;
                         });
    const QMetaObject::Connection failed = QObject::connect(
        &client, &javaservice::JavaServiceClient::failed,
        [&](javaservice::RequestId answered, javaservice::Failure, const QString &reason) {
            if (answered == id) {
                qFatal("service failed: %s", qPrintable(reason));
            }
        });
    processEventsUntil([&] { return done; });
    QObject::disconnect(finished);
    QObject::disconnect(failed);
    if (exitCode != 0) {
        qFatal("javac in the service failed");
    }
    return clock.nsecsElapsed() / 1e6;
}

void removeClasses(const QString &folder) {
    QDirIterator classes(folder, {"*.class"}, QDir::Files, QDirIterator::Subdirectories);
    while (classes.hasNext()) {
        QFile::remove(classes.next());
    }
}

// Child and service medians of one build, run alternately.
std::pair<double, double> compareBuilds(javaservice::JavaServiceClient &client,
                                        const QString &folder, const QStringList &arguments) {
    std::vector<double> child;
    std::vector<double> service;
    for (int run = 0; run < kRuns; ++run) {
        removeClasses(folder);
        child.push_back(childJavac(folder, arguments));
        removeClasses(folder);
        service.push_back(serviceJavac(client, folder, arguments));
    }
    return {median(child), median(service)};
}

// A Tarvo started as a program with no file, after it has settled: its resident size, and
// whether it started any Java.
qint64 tarvoIdleResidentKb(bool *startedJava) {
    QTemporaryDir home;
    QProcess tarvo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.path());
    environment.insert("HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    tarvo.setProcessEnvironment(environment);
    tarvo.start(TARVO_PROGRAM, {});
    tarvo.waitForStarted();
    QThread::sleep(4);
    const qint64 resident = residentKb(tarvo.processId());
    QProcess children;
    children.start("pgrep", {"-P", QString::number(tarvo.processId())});
    children.waitForFinished();
    *startedJava = !children.readAll().trimmed().isEmpty();
    tarvo.kill();
    tarvo.waitForFinished();
    return resident;
}

// Types into a real source window on Big.java: bursts that make an error and bursts that mend
// it. Each burst's keystrokes are timed, and the time from its last keystroke until the window
// shows the answer for the text as it then is.
struct TypingFigures {
    std::vector<double> keystrokeMs;
    std::vector<double> shownMs;
};

void sendKey(QWidget *view, int key, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(view, &press);
    QApplication::sendEvent(view, &release);
}

TypingFigures typeInBigFile(const QString &root) {
    TypingFigures figures;
    CSyntaxWindowDoc document;
    if (!document.onOpenDocument(root + "/gen/Big.java")) {
        qFatal("Cannot open Big.java");
    }
    document.setPathName(root + "/gen/Big.java", false);
    CChildFrame frame;
    auto *view = new CSyntaxWindowView;
    frame.setView(view);
    frame.attachDocument(&document);
    frame.resize(900, 700);
    frame.show();
    view->onInitialUpdate();
    QCoreApplication::processEvents();
    const QTextBlock middle = view->document()->findBlockByNumber(kBigFileLines / 2 + 3);
    QTextCursor cursor(middle);
    cursor.movePosition(QTextCursor::EndOfBlock);
    view->setTextCursor(cursor);
    const QString error = QStringLiteral(" int broken = ;");
    for (int burst = 0; burst < 2 * kRuns + 1; ++burst) {
        const bool makeError = burst % 2 == 0;
        for (int index = 0; index < error.size(); ++index) {
            QElapsedTimer clock;
            clock.start();
            if (makeError) {
                sendKey(view, 0, error.mid(index, 1));
            } else {
                sendKey(view, Qt::Key_Backspace, QString());
            }
            figures.keystrokeMs.push_back(clock.nsecsElapsed() / 1e6);
            // A typist's pace: a check may start between keystrokes only at the end.
            QThread::msleep(60);
            QCoreApplication::processEvents();
        }
        QElapsedTimer shown;
        shown.start();
        const bool answered = processEventsUntil([&] {
            return !document.liveChecker().isPending()
                   && document.liveChecker().findings().isEmpty() != makeError;
        });
        if (!answered) {
            qFatal("no answer for the check");
        }
        // The first burst starts the service: its figure is not one of a warm service.
        if (burst > 0) {
            figures.shownMs.push_back(shown.nsecsElapsed() / 1e6);
        }
    }
    return figures;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (!haveJdk()) {
        return 0;
    }
    // The Java programs are compiled into a cache of this run's own.
    QTemporaryDir scratch;
    qputenv("XDG_CACHE_HOME", (scratch.path() + "/cache").toUtf8());
    const double loadBefore = loadAverage();

    bool startedJava = false;
    const qint64 tarvoIdle = tarvoIdleResidentKb(&startedJava);

    const QString root = scratch.path() + "/tree";
    writeTree(root);
    const QString single = scratch.path() + "/single";
    write(single + "/Hello.java",
          "public class Hello {\n    public static void main(String[] args) {\n"
          "        System.out.println(\"Hello\");\n    }\n}\n");
    BenchProject project(root, jdkFolder(), TARVO_RESOURCES);
    javaservice::JavaServiceClient &client = javaServices();
    client.settings().helpFolders = {QString(TARVO_RESOURCES) + "/help"};

    // The first request compiles the service into the empty cache and starts it; the second,
    // in another folder, only starts a service.
    QElapsedTimer first;
    first.start();
    serviceJavac(client, single, {"Hello.java"});
    const double firstWithCompile = first.nsecsElapsed() / 1e6;
    first.restart();
    serviceJavac(client, root, {"-sourcepath", ".", "gen/Node.java"});
    const double firstStart = first.nsecsElapsed() / 1e6;

    const auto [singleChild, singleService] = compareBuilds(client, single, {"Hello.java"});
    const auto [treeChild, treeService] =
        compareBuilds(client, root, {"-sourcepath", ".", "gen/Queue.java"});
    removeClasses(root);
    const TypingFigures typing = typeInBigFile(root);
    QThread::sleep(4); // the service collects its heap once idle
    QCoreApplication::processEvents();
    const qint64 serviceResident = residentKb(client.serviceProcessId(jdkFolder(), root));

    std::printf("Java service against javac as a program (%d runs each, medians; load average "
                "%.2f before, %.2f after; 2 cores)\n\n",
                kRuns, loadBefore, loadAverage());
    std::printf("%-58s %10s %10s %7s\n", "", "program", "service", "ratio");
    std::printf("%-58s %8.0f ms %7.0f ms %7.2f\n", "build of a one-class project", singleChild,
                singleService, singleService / singleChild);
    std::printf("%-58s %8.0f ms %7.0f ms %7.2f\n",
                "build of Queue and its dependencies (200 files)", treeChild, treeService,
                treeService / treeChild);
    std::printf("\n%-58s %8.0f ms\n", "first request: service compiled into the cache and started",
                firstWithCompile);
    std::printf("%-58s %8.0f ms\n", "first request in another folder: service started", firstStart);
    std::printf("%-58s %8.0f ms (max %.0f)\n",
                "errors shown after the last keystroke (2,000 lines)", median(typing.shownMs),
                *std::max_element(typing.shownMs.begin(), typing.shownMs.end()));
    std::printf("%-58s %8.2f ms (max %.2f)\n", "keystroke in that window while checks run",
                median(typing.keystrokeMs),
                *std::max_element(typing.keystrokeMs.begin(), typing.keystrokeMs.end()));
    std::printf("%-58s %8lld KB\n", "service resident size after these, settled",
                static_cast<long long>(serviceResident));
    std::printf("%-58s %8lld KB%s\n", "Tarvo idle, no build", static_cast<long long>(tarvoIdle),
                startedJava ? " (started Java!)" : ", no Java started");
    std::printf("\nservice JVM options: %s\n",
                qPrintable(javaservice::JavaServiceClient::defaultJvmOptions().join(' ')));
    return 0;
}
