#include "editors/ceditwebdoc.h"

CEditWebDoc::CEditWebDoc() = default;

CEditWebDoc::~CEditWebDoc() = default;
