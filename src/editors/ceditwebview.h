#pragma once

#include "editors/ceditfontview.h"

// The view of an HTML window: the plain edit view with "Insert Applet", which writes an applet
// tag for the open project's main class at the caret, and "Open In Web Browser", which hands the
// page as last saved to the desktop's handler for it.
class CEditWebView : public CEditFontView {
    Q_OBJECT

public:
    CEditWebView();
    ~CEditWebView() override;

    // The tag for a main file such as MyApplet.java, with CR LF line breaks: an empty line, the
    // APPLET start tag naming MyApplet.class with a width and height of 300, the words
    // "Applet MyApplet.class" and the end tag.
    static QString AppletTag(const QString &mainFile);

    void InsertApplet();
    void OpenInBrowser();
};
