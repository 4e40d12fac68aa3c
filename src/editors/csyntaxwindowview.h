#pragma once

#include "framework/view.h"

#include <QPlainTextEdit>

class CSyntaxWindowDoc;

// The editor of a Java source window.
class CSyntaxWindowView : public QPlainTextEdit, public fw::View {
    Q_OBJECT

public:
    CSyntaxWindowView();
    ~CSyntaxWindowView() override;

    QWidget *widget() override { return this; }
    CSyntaxWindowDoc *sourceDocument() const;
    void onInitialUpdate() override;
};
