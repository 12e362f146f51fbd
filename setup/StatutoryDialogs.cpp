#include "setup/StatutoryDialogs.h"
