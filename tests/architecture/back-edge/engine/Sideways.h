// Fixture for the include-direction check: the engine reaching across to the kit.
#pragma once

#include "kit/KitModel.h"
