#pragma once

#include "framework/frame.h"

class QComboBox;

// The frame of a Java source window: the function-list bar along its top, the editor below.
// The bar holds one drop-down list of the classes and methods of the text, in scan order (not
// sorted, not editable); the view fills it and handles a chosen entry.
class CChildFrame : public fw::Frame {
    Q_OBJECT

public:
    // The ids the bar and its list have always had.
    static constexpr int kFunctionBarId = 128;
    static constexpr int kFunctionListId = 1004;

    CChildFrame();
    ~CChildFrame() override;

    QComboBox *functionList() const { return m_functionList; }
    // The list operations: append entries, empty it, the selected index (-1 for none) and the
    // selected entry's text (empty for none).
    void addEntries(const QStringList &entries);
    void clearEntries();
    int currentEntryIndex() const;
    QString currentEntryText() const;

    QRect initialGeometry(const fw::MainWindow &mainWindow) const override;

private:
    QComboBox *m_functionList = nullptr;
};
