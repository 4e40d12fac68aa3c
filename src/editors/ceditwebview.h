#pragma once

#include "editors/ceditfontview.h"

// The view of an HTML window.
class CEditWebView : public CEditFontView {
    Q_OBJECT

public:
    CEditWebView();
    ~CEditWebView() override;
};
