#pragma once
// Planted back edge: a generator may use every layer but the plug-in.
#include "plugin/Instance.h"
