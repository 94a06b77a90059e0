// A library that looks like an add-on but does not export VtCreateDialog.
#include "console/tests/addons/AddonProbe.h"
