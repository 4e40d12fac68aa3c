#pragma once

#include "framework/commandtarget.h"

class QWidget;

namespace fw {

class Document;
class Frame;

// A window that shows a document. Views are widgets of their own kind (a text editor, a tree)
// and mix this class in; widget() gives the widget. A view belongs to one frame and, until the
// document closes, to one document; it removes itself from the document when destroyed.
class View : public CommandTarget {
public:
    View();
    ~View() override;

    View(const View &) = delete;
    View &operator=(const View &) = delete;

    // Named apart from the text widgets' own document().
    Document *doc() const { return m_document; }
    Frame *frame() const { return m_frame; }
    virtual QWidget *widget() = 0;

    // Called once, when the frame first shows the view with its document.
    virtual void onInitialUpdate();
    // Called when the document's data changed; sender is the view that changed it, if any.
    virtual void onUpdate(View *sender, int hint);

private:
    friend class Document;
    friend class Frame;

    Document *m_document = nullptr;
    Frame *m_frame = nullptr;
};

} // namespace fw
