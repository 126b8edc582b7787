#pragma once
// The serial layer's chief header: the settings vocabulary, the port with its settings groups,
// its links, its event thread and its error.

#include "BoardLine.h"
#include "ComErrors.h"
#include "ComLink.h"
#include "ComPort.h"
#include "ComSettings.h"
#include "ComThread.h"
#include "ComVocabulary.h"
#include "DeviceControlBlock.h"
