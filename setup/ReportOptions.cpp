#include "setup/ReportOptions.h"
