// The factory kits: one readable kit text per kit (kit/factory/*.kit, in
// slot order by file name), embedded into the library at build time and
// turned into state chunks when the preset slots are filled.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kettrix::kit {

struct FactoryKitSource {
    const char* fileName;  // e.g. "00-electronic-1.kit", for error messages
    const char* text;
    std::size_t size;
};

// The embedded kit texts in slot order.
std::span<const FactoryKitSource> factoryKitSources();

struct FactoryKit {
    std::string name;
    std::vector<std::uint8_t> chunk;  // the kit's state chunk
};

struct FactoryKits {
    std::vector<FactoryKit> kits;     // every kit whose text parsed
    std::vector<std::string> errors;  // "<file>:<line>: <message>" for the others
};

// Parses every embedded kit text into its state chunk.
FactoryKits buildFactoryKits();

}  // namespace kettrix::kit
