#include "kit/SoundRecord.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "kit/KitState.h"

namespace kettrix::kit {

double SoundRecord::value(int off) const {
    if (off < 0 || off >= kValueCount) return 0.0;
    return loadDouble(bytes_.data() + 8 * off);
}

void SoundRecord::setValue(int off, double value) {
    if (off < 0 || off >= kValueCount) return;
    storeDouble(bytes_.data() + 8 * off, value);
}

std::int32_t SoundRecord::version() const { return loadInt32(bytes_.data() + kVersionAt); }

void SoundRecord::setVersion(std::int32_t version) { storeInt32(bytes_.data() + kVersionAt, version); }

std::string SoundRecord::name() const {
    const auto* first = bytes_.data() + kNameAt;
    const auto* last = std::find(first, bytes_.data() + kSize, std::uint8_t{0});
    return std::string(first, last);
}

void SoundRecord::setName(std::string_view name) {
    auto* field = bytes_.data() + kNameAt;
    std::fill(field, bytes_.data() + kSize, std::uint8_t{0});
    const std::size_t count = std::min(name.size(), kNameField - 1);
    std::copy_n(name.data(), count, field);
}

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

bool readSoundFile(const std::string& path, SoundRecord& record) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    SoundRecord read;
    if (std::fread(read.bytes().data(), 1, SoundRecord::kSize, file.get()) != SoundRecord::kSize) return false;
    record = read;
    return true;
}

bool writeSoundFile(const std::string& path, const SoundRecord& record) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(record.bytes().data(), 1, SoundRecord::kSize, file.get()) == SoundRecord::kSize;
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace kettrix::kit
