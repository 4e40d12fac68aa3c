#include "project/cjavaprojectview.h"

CJavaProjectView::CJavaProjectView()
{
    setHeaderHidden(true);
}

CJavaProjectView::~CJavaProjectView() = default;
