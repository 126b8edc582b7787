#pragma once
// The serial layer's controls: the signal indicator and the combo box bound to a port setting.

#include "ComComboBox.h"
#include "ComLed.h"
