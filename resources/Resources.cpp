#include "resources/Resources.h"

#include "resources/ResourceTable.h"

namespace kettrix::resources {
namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameType(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

}  // namespace

Resource find(std::string_view type, int id) {
    // A few dozen entries: a linear scan is cheaper than any index, and the
    // engine looks resources up only at construction.
    for (std::size_t i = 0; i < embedded::kTableCount; ++i) {
        const embedded::TableEntry& entry = embedded::kTable[i];
        if (entry.id == id && sameType(entry.type, type)) return Resource{entry.data, *entry.size};
    }
    return Resource{};
}

}  // namespace kettrix::resources
