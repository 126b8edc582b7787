#pragma once
// The serial layer's settings dialog.

#include "ComSetupDialog.h"
