// Fixture for the include-direction check: a composition file other than the
// adapter reaching for the VST 2 header.
#pragma once

#include "plugin/Vst2Abi.h"
