// The process-wide image cache: every editor of the process shares the
// images decoded from the embedded image resources. Entries live until the
// module is unloaded. Any thread may call these; a lock guards the list.
#pragma once

#include <cstddef>

namespace kettrix {

class LICE_IBitmap;

// The image with resource id `id` painted for the zoom `percent` (100: the
// "PNG" resource; see resources/Zoom.h), decoded on first use; null when the
// resource is missing or does not decode (and stays null for that id and
// zoom) or the zoom is not offered.
LICE_IBitmap* LoadCachedPNG(int id, int percent = 100);

// Whether `fileName` names a format the loader reads: the text after the
// last '.' equals "png" without regard to case.
bool IsPNGFileName(const char* fileName);

// Number of decoded images and their pixel bytes (for tests and benchmarks).
int CachedBitmapCount();
std::size_t CachedBitmapBytes();

}  // namespace kettrix
