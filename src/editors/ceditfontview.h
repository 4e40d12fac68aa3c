#pragma once

#include "framework/view.h"

#include <QPlainTextEdit>

// The plain-text edit view: the text in the user's source font, without colouring.
class CEditFontView : public QPlainTextEdit, public fw::View {
    Q_OBJECT

public:
    CEditFontView();
    ~CEditFontView() override;

    QWidget *widget() override { return this; }
    void onInitialUpdate() override;
};
