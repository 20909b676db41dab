#pragma once
// The table that the build generates from resources/manifest.txt. Private to
// the resources library: callers use find() in Resources.h.

#include <cstddef>

namespace kettrix::resources::embedded {

struct TableEntry {
    const char* type;
    int id;
    const unsigned char* data;
    // Pointer, not value: the size is defined in the data's own translation
    // unit, and a pointer keeps the table constant-initialized (usable even
    // from other static initializers).
    const std::size_t* size;
};

extern const TableEntry kTable[];
extern const std::size_t kTableCount;

}  // namespace kettrix::resources::embedded
