#include "setup/TreeDialogs.h"
