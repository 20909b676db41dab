#pragma once
// Planted back edge: the embedded table must not depend on a generator.
#include "generators/images/Catalog.h"
