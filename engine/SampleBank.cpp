#include "engine/SampleBank.h"

#include "resources/Resources.h"

namespace kettrix::engine {

namespace {

// Shared by every empty slot: one zero, so a stray read of index 0 is silent.
constexpr double kSilence[2] = {0.0, 0.0};

}  // namespace

SampleBank::SampleBank(int capacity)
    : buffers_(static_cast<std::size_t>(capacity > 0 ? capacity : 0)),
      lengths_(static_cast<std::size_t>(capacity > 0 ? capacity : 0), 0) {}

bool SampleBank::load(int resourceId, int slot) {
    const auto resource = resources::find("WAV", resourceId);
    if (!resource) return false;
    return loadBytes(resource.data, resource.size, slot);
}

bool SampleBank::loadBytes(const unsigned char* data, std::size_t size, int slot) {
    if (slot < 0 || slot >= capacity() || data == nullptr || size <= 1) return false;
    const std::size_t n = size / 2;
    auto& buffer = buffers_[static_cast<std::size_t>(slot)];
    auto& length = lengths_[static_cast<std::size_t>(slot)];
    if (n > static_cast<std::size_t>(kMaxLength)) {
        // Rejected: the slot must not advertise samples it does not hold.
        length = 0;
        buffer.clear();
        return false;
    }
    buffer.assign(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const auto word = static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        buffer[i] = static_cast<std::int16_t>(word) / 32767.0;
    }
    buffer[n] = buffer[0];
    length = static_cast<std::int32_t>(n);
    return true;
}

const double* SampleBank::buffer(int slot) const noexcept {
    if (slot < 0 || slot >= capacity() || lengths_[static_cast<std::size_t>(slot)] == 0) return kSilence;
    return buffers_[static_cast<std::size_t>(slot)].data();
}

std::int32_t SampleBank::length(int slot) const noexcept {
    if (slot < 0 || slot >= capacity()) return 0;
    return lengths_[static_cast<std::size_t>(slot)];
}

SampleBank makeNoiseSampleBank() {
    SampleBank bank(static_cast<int>(kNoiseSampleIds.size()));
    for (std::size_t slot = 0; slot < kNoiseSampleIds.size(); ++slot)
        bank.load(kNoiseSampleIds[slot], static_cast<int>(slot));
    return bank;
}

SampleBank makeHitSampleBank() {
    SampleBank bank(static_cast<int>(kHitSampleIds.size()));
    for (std::size_t slot = 0; slot < kHitSampleIds.size(); ++slot)
        bank.load(kHitSampleIds[slot], static_cast<int>(slot));
    return bank;
}

}  // namespace kettrix::engine
