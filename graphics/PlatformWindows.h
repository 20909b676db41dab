// Windows system headers for the graphics sources. The system headers define
// DrawText and LoadBitmap as macros, which would rename the framework's
// operations of the same names; this header removes them, so include it
// instead of <windows.h> and call the system functions by their A/W names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DrawText
#undef LoadBitmap
