// Code completion in a real source window on the installed JDK, with a warm Java service: a
// 2,000-line file of a 200-file project, the caret in the middle of it.
// - Ctrl+Space after "text." (the members of String), after "Par" and "A" (the names in scope
//   and the classes of the JDK and the project), and with nothing typed (the names in scope):
//   the time from the key until the list is on screen;
// - keystrokes while a list is open: typing that filters the members of String, the names
//   beginning Par, and every name and class beginning with A (the longest list a begun name
//   gets).
// Medians and the worst of several runs. Run it on a quiet machine; the table says how loaded
// the machine was.
#include "editors/cchildframe.h"
#include "editors/completioncontroller.h"
#include "editors/completionpopup.h"
#include "editors/csyntaxwindowdoc.h"
#include "editors/csyntaxwindowview.h"
#include "editors/sourceproject.h"
#include "framework/document.h"
#include "services/appsettings.h"
#include "services/ideservices.h"
#include "tools/javaservices.h"

#include "benchmeasure.h"
#include "benchproject.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr int kProjectFiles = 200;
constexpr int kBigFileLines = 2000;

// kProjectFiles - 1 classes Part000.. in package app.model that use each other, and app.Main,
// a class of kBigFileLines lines whose methods use them; the caret line is in its middle.
int writeProject(const QString &root) {
    const int parts = kProjectFiles - 1;
    const auto part = [](int index) {
        return "Part" + QByteArray::number(index).rightJustified(3, '0');
    };
    for (int index = 0; index < parts; ++index) {
        write(root + "/app/model/" + part(index) + ".java",
              "package app.model;\n\nimport java.util.*;\n\npublic class " + part(index)
                  + " {\n    private final List<String> names = new ArrayList<>();\n"
                    "    public int size;\n    public String label() { return \"part\"; }\n"
                    "    public List<String> names() { return names; }\n    public "
                  + part((index + 1) % parts) + " next() { return new " + part((index + 1) % parts)
                  + "(); }\n}\n");
    }
    QByteArray main = "package app;\n\nimport app.model.*;\nimport java.util.*;\n\n"
                      "public class Main {\n    private final Map<String, Part000> parts = new "
                      "HashMap<>();\n";
    int caretLine = -1;
    for (int method = 0; main.count('\n') < kBigFileLines - 2; ++method) {
        main += "    int method" + QByteArray::number(method)
                + "(List<String> words, int limit) {\n        int total = 0;\n"
                  "        for (String word : words) {\n            if (word.length() > limit) "
                  "{\n                total += word.indexOf('a') + parts.size();\n            }\n"
                  "        }\n        "
                + part(method % parts) + " part = new " + part(method % parts)
                + "();\n        String text = part.label();\n";
        if (caretLine < 0 && main.count('\n') > kBigFileLines / 2) {
            caretLine = int(main.count('\n'));
            main += "\n";
        }
        main += "        return total + text.length();\n    }\n";
    }
    write(root + "/app/Main.java", main + "}\n");
    return caretLine;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double worst(const std::vector<double> &values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

bool processEventsUntil(const std::function<bool()> &condition, int timeoutMs = 300000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return condition();
}

void sendKey(QWidget *view, int key, Qt::KeyboardModifiers modifiers, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(view, &press);
    QApplication::sendEvent(view, &release);
}

struct Figures {
    std::vector<double> listShownMs;
    std::vector<double> keystrokeMs;
    int rows = 0;
};

// Types what goes before the caret on the caret line, presses Ctrl+Space, waits for the list,
// then types the filter one key at a time, and takes it all back.
Figures completeAt(CSyntaxWindowView *view, CompletionController *completion, int line,
                   const QString &before, const QString &filter) {
    Figures figures;
    for (int run = 0; run < kRuns + 1; ++run) {
        QTextCursor cursor(view->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText("        " + before);
        view->setTextCursor(cursor);
        QElapsedTimer clock;
        clock.start();
        sendKey(view, Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
        if (!processEventsUntil([&] { return !completion->isPending(); })
            || !completion->isShown()) {
            qFatal("no list for %s", qPrintable(before));
        }
        const double shown = clock.nsecsElapsed() / 1e6;
        figures.rows = std::max(figures.rows, completion->popup()->rowCount());
        // The first run reads the JDK's classes and warms the service's compiler.
        if (run > 0) {
            figures.listShownMs.push_back(shown);
        }
        for (const QChar character : filter) {
            clock.restart();
            sendKey(view, 0, Qt::NoModifier, character);
            if (run > 0) {
                figures.keystrokeMs.push_back(clock.nsecsElapsed() / 1e6);
            }
            QCoreApplication::processEvents();
        }
        sendKey(view, Qt::Key_Escape, Qt::NoModifier, QString());
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
    const QString root = scratch.path() + "/project";
    const int caretLine = writeProject(root);
    BenchProject project(root, jdkFolder(), TARVO_RESOURCES);
    javaServices().settings().helpFolders = {QString(TARVO_RESOURCES) + "/help"};

    CSyntaxWindowDoc document;
    if (!document.onOpenDocument(root + "/app/Main.java")) {
        qFatal("Cannot open Main.java");
    }
    document.setPathName(root + "/app/Main.java", false);
    CChildFrame frame;
    auto *view = new CSyntaxWindowView;
    frame.setView(view);
    frame.attachDocument(&document);
    frame.resize(900, 700);
    frame.show();
    view->onInitialUpdate();
    QCoreApplication::processEvents();
    auto *completion = view->findChild<CompletionController *>();

    const Figures members = completeAt(view, completion, caretLine, "text.", "toLowerC");
    const Figures scope = completeAt(view, completion, caretLine, "Par", "t00");
    const Figures inScope = completeAt(view, completion, caretLine, "", "");
    const Figures classes = completeAt(view, completion, caretLine, "A", "rrayLis");

    std::printf("Code completion in a %d-line file of a %d-file project, warm service (%d runs; "
                "load average %.2f before, %.2f after; 2 cores)\n\n",
                kBigFileLines, kProjectFiles, kRuns, loadBefore, loadAverage());
    std::printf("%-44s %10s %10s %8s\n", "", "median ms", "worst ms", "rows");
    const auto row = [](const char *what, const std::vector<double> &values, int rows) {
        std::printf("%-44s %10.2f %10.2f %8d\n", what, median(values), worst(values), rows);
    };
    row("Ctrl+Space to list shown: text.", members.listShownMs, members.rows);
    row("Ctrl+Space to list shown: Par", scope.listShownMs, scope.rows);
    row("Ctrl+Space to list shown: A", classes.listShownMs, classes.rows);
    row("Ctrl+Space to list shown: nothing typed", inScope.listShownMs, inScope.rows);
    row("keystroke, members of String open", members.keystrokeMs, members.rows);
    row("keystroke, names beginning Par open", scope.keystrokeMs, scope.rows);
    row("keystroke, names and classes beginning A open", classes.keystrokeMs, classes.rows);
    return 0;
}
