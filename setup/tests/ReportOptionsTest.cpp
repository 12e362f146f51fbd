#include "setup/ReportOptions.h"

#include <gtest/gtest.h>
