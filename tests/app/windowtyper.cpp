// Loaded into a real Tarvo with LD_PRELOAD by the crash-recovery test, so that the program under
// test carries no test code: once the start has shown TARVO_TEST_WINDOWS editor windows, types
// TARVO_TEST_TYPE into each of them with key events, as a person would.
#include <QApplication>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kPollMs = 100;

QList<QPlainTextEdit *> editorWindows() {
    QList<QPlainTextEdit *> editors;
    for (QWidget *widget : QApplication::allWidgets()) {
        auto *editor = qobject_cast<QPlainTextEdit *>(widget);
        QWidget *parent = editor ? editor->parentWidget() : nullptr;
        while (parent && !qobject_cast<QMdiSubWindow *>(parent)) {
            parent = parent->parentWidget();
        }
        if (parent && editor->isVisible() && !editor->isReadOnly()) {
            editors << editor;
        }
    }
    return editors;
}

void typeWhenReady() {
    const QList<QPlainTextEdit *> editors = editorWindows();
    if (editors.size() < qEnvironmentVariableIntValue("TARVO_TEST_WINDOWS")) {
        QTimer::singleShot(kPollMs, &typeWhenReady);
        return;
    }
    const QString text = qEnvironmentVariable("TARVO_TEST_TYPE");
    for (QPlainTextEdit *editor : editors) {
        QTest::keyClicks(editor, text);
    }
}

void startTyper() {
    if (qobject_cast<QApplication *>(QCoreApplication::instance())
        && qEnvironmentVariableIsSet("TARVO_TEST_TYPE")) {
        QTimer::singleShot(kPollMs, &typeWhenReady);
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startTyper)
