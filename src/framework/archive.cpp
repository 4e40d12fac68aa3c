#include "framework/archive.h"
