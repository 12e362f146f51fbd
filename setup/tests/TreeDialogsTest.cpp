#include "setup/TreeDialogs.h"

#include <gtest/gtest.h>
