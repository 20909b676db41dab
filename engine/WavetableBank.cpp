#include "engine/WavetableBank.h"

#include <algorithm>

#include "resources/Resources.h"

namespace kettrix::engine {

WavetableBank::WavetableBank() : sets_(kWavetableSetCount) {
    for (int slot = 0; slot < kWavetableSetCount; ++slot) load(kResourceIds[slot], slot);
}

bool WavetableBank::load(int resourceId, int slot) {
    if (slot < 0 || slot >= kWavetableSetCount) return false;
    WavetableSet& target = sets_[slot];
    for (Wavetable& table : target) table.fill(0.0);

    const resources::Resource resource = resources::find("WAV", resourceId);
    if (!resource || resource.size <= 1) return false;

    // Never read past the resource: a short one fills only its samples.
    const std::size_t available = resource.size / 2;
    for (int t = 0; t < kWavetablesPerSet; ++t) {
        Wavetable& table = target[t];
        for (int i = 0; i < kWavetableLength; ++i) {
            const std::size_t index = std::size_t(t) * kWavetableLength + i;
            if (index >= available) break;
            const unsigned char* bytes = resource.data + index * 2;
            const auto raw = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
            table[i] = static_cast<std::int16_t>(raw) / 32767.0;
        }
        table[kWavetableLength] = table[0];
    }
    return true;
}

const WavetableSet& WavetableBank::set(int slot) const noexcept {
    if (slot < 0 || slot >= kWavetableSetCount) return silentSet();
    return sets_[slot];
}

const WavetableSet& WavetableBank::silentSet() noexcept {
    static const WavetableSet silent{};
    return silent;
}

}  // namespace kettrix::engine
