#include "setup/LookupDialogs.h"

#include <gtest/gtest.h>
