#pragma once
// Embedded data resources of the plug-in: wavetables, samples and images,
// looked up by type and id as in a resource script. The bytes are compiled
// into the library, so the lookup is the same on every platform and needs
// no file access.

#include <cstddef>
#include <string_view>

namespace kettrix::resources {

struct Resource {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    explicit operator bool() const { return data != nullptr; }
};

// Returns the bytes bound to (type, id) in resources/manifest.txt, for
// example find("WAV", 201). The type compares without regard to ASCII case.
// A resource that does not exist gives an empty Resource (data == nullptr).
// The bytes live for the whole process. Any thread may call it.
Resource find(std::string_view type, int id);

}  // namespace kettrix::resources
