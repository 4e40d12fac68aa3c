#pragma once

#include "framework/commandtarget.h"

#include <QRect>
#include <QWidget>

class QMdiSubWindow;
class QVBoxLayout;

namespace fw {

class Document;
class MainWindow;
class View;

// A document window inside the main window: a widget in a QMdiSubWindow holding one view, with
// room for bars above it. Closing the frame that shows a document's last view asks the
// document whether it may close and then closes it.
class Frame : public QWidget, public CommandTarget {
    Q_OBJECT

public:
    Frame();
    ~Frame() override;

    View *view() const { return m_view; }
    Document *document() const;
    // Puts the view's widget below the bars; the frame owns it from then on.
    void setView(View *view);
    void attachDocument(Document *document);

    QMdiSubWindow *subWindow() const;
    // Brings the frame to the front of the main window and gives it the focus.
    void activateFrame();

    // Where the frame is placed when it is made; an empty rectangle leaves the placement to
    // the main window.
    virtual QRect initialGeometry(const MainWindow &mainWindow) const;
    // Called after the frame is placed and before the view's initial update.
    virtual void onCreate() {}

protected:
    QVBoxLayout *barLayout() const { return m_barLayout; }
    void closeEvent(QCloseEvent *event) override;

private:
    QVBoxLayout *m_layout = nullptr;
    QVBoxLayout *m_barLayout = nullptr;
    View *m_view = nullptr;
};

} // namespace fw
