#pragma once

#include "framework/view.h"

#include <QTreeWidget>

// The project window's tree of files, classes and methods.
class CJavaProjectView : public QTreeWidget, public fw::View {
    Q_OBJECT

public:
    CJavaProjectView();
    ~CJavaProjectView() override;

    QWidget *widget() override { return this; }
};
