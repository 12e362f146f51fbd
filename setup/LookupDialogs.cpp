#include "setup/LookupDialogs.h"
