#include "framework/archive.h"

#include <gtest/gtest.h>
