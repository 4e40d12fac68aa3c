#include "editors/ceditfontview.h"

#include "services/appsettings.h"
#include "services/ideservices.h"
#include "editors/linenumbermargin.h"
#include "editors/plaintextdocument.h"
#include "framework/texteditcommands.h"

CEditFontView::CEditFontView() {
    fw::installTextEditCommands(*this, *this);
    LineNumberMargin::attach(this, [this](int width) { setViewportMargins(width, 0, 0, 0); });
}

CEditFontView::~CEditFontView() = default;

void CEditFontView::onInitialUpdate() {
    if (auto *text = dynamic_cast<PlainTextDocument *>(doc())) {
        setDocument(text->textDocument());
    }
    if (IdeServices *services = IdeServices::instance()) {
        const AppSettings &settings = services->settings();
        QFont font(settings.sourceFontName);
        font.setPointSizeF(settings.sourceFontSize / 10.0);
        setFont(font);
    }
}
