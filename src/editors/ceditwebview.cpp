#include "editors/ceditwebview.h"

CEditWebView::CEditWebView() = default;

CEditWebView::~CEditWebView() = default;
