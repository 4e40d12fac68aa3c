#include "services/ideservices.h"

namespace {
IdeServices *theServices = nullptr;
}

IdeServices *IdeServices::instance() {
    return theServices;
}

IdeServices::IdeServices() {
    theServices = this;
}

IdeServices::~IdeServices() {
    if (theServices == this) {
        theServices = nullptr;
    }
}
