#include "setup/StatutoryDialogs.h"

#include <gtest/gtest.h>
