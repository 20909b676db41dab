// Random and mutated program chunks, bank chunks and sound files, fed the way
// a host or a user would. Nothing may crash or read outside the data (the
// sanitizer build checks that), and every parameter stays finite and within
// its range afterwards. Fixed seed, bounded iterations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TestHost.h"
#include "kit/KitState.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

using namespace kettrix;
using namespace kettrix::kit;

namespace {

// xorshift32: our own arithmetic, the same sequence on every platform.
class Bits {
public:
    explicit Bits(std::uint32_t seed) : s_(seed) {}
    std::uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint32_t s_;
};

class ChunkFuzz : public ::testing::Test {
protected:
    ChunkFuzz() {
        test::RecordingHost::Instance().Reset();
        effect = CreateVstInstance(&test::RecordingHost::Callback);
    }
    ~ChunkFuzz() override { test::Dispatch(effect, effClose); }

    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }

    void expectSaneParameters() {
        for (int i = 0; i < kParameterCount; ++i) {
            const Param* p = plug().ParamAt(i);
            ASSERT_TRUE(std::isfinite(p->Value())) << i;
            ASSERT_GE(p->Value(), p->Min()) << i;
            ASSERT_LE(p->Value(), p->Max()) << i;
        }
    }

    // A valid chunk with some bytes changed, a length rewritten, or cut/extended.
    std::vector<std::uint8_t> mutate(std::vector<std::uint8_t> bytes) {
        switch (bits.below(4)) {
            case 0:
                for (int n = 1 + static_cast<int>(bits.below(16)); n > 0 && !bytes.empty(); --n)
                    bytes[bits.below(static_cast<std::uint32_t>(bytes.size()))] =
                        static_cast<std::uint8_t>(bits.next());
                break;
            case 1: {  // a hostile name length at the start of a name
                const std::size_t at = 8 + 4 * bits.below(10);
                if (bytes.size() >= at + 4) storeInt32(bytes.data() + at, static_cast<std::int32_t>(bits.next()));
                break;
            }
            case 2:
                bytes.resize(bits.below(static_cast<std::uint32_t>(bytes.size()) + 1));
                break;
            default:
                bytes.resize(bytes.size() + bits.below(64), static_cast<std::uint8_t>(bits.next()));
                break;
        }
        return bytes;
    }

    std::vector<std::uint8_t> randomBytes(std::size_t maxSize) {
        std::vector<std::uint8_t> bytes(bits.below(static_cast<std::uint32_t>(maxSize)));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(bits.next());
        return bytes;
    }

    AEffect* effect = nullptr;
    Bits bits{0x4B495431u};
};

}  // namespace

TEST_F(ChunkFuzz, RandomAndMutatedProgramChunks) {
    const auto valid = test::GetChunkBytes(effect, 1);
    for (int i = 0; i < 150; ++i) {
        auto bytes = i % 3 == 0 ? randomBytes(12000) : mutate(valid);
        if (i % 5 == 0 && bytes.size() >= 8) bytes.erase(bytes.begin(), bytes.begin() + 8);  // bare state
        test::SetChunkBytes(effect, 1, bytes);
        expectSaneParameters();
        if (HasFatalFailure()) return;
    }
    ASSERT_EQ(test::SetChunkBytes(effect, 1, valid), 1);
    EXPECT_EQ(test::GetChunkBytes(effect, 1), valid);
}

TEST_F(ChunkFuzz, MutatedBankChunks) {
    // The bank holds a program name longer than a host's 24 characters, so
    // the name answers below have something to cut.
    char longName[] = "A program name far longer than twenty-four characters";
    test::Dispatch(effect, effSetProgram, 0, 3);
    test::Dispatch(effect, effSetProgramName, 0, 0, longName);
    const auto valid = test::GetChunkBytes(effect, 0);
    ASSERT_GT(valid.size(), 128u * 11000u);
    for (int i = 0; i < 12; ++i) {
        test::SetChunkBytes(effect, 0, i == 0 ? valid : mutate(valid));
        expectSaneParameters();
        if (HasFatalFailure()) return;
        for (int slot = 0; slot <= 128; ++slot) {  // 128: past the last slot, no name
            // Every slot answers with a terminated name that fits the 24
            // characters a host reserves, and says whether it has one.
            char name[256];
            std::memset(name, 0x7F, sizeof name);
            const intptr_t answer = effect->dispatcher(effect, effGetProgramNameIndexed, slot, 0, name, 0);
            ASSERT_LT(std::strlen(name), static_cast<std::size_t>(kVstMaxProgNameLen)) << slot;
            ASSERT_EQ(answer, name[0] != '\0' ? 1 : 0) << slot;
        }
    }
}

TEST_F(ChunkFuzz, RandomAndMutatedSoundFiles) {
    const auto path = std::filesystem::temp_directory_path() / "kit-fuzz-sound.k4s";
    KitModel& kit = plug().Kit();
    test::Dispatch(effect, effOpen);  // selects sound 0
    ASSERT_TRUE(kit.saveSoundFile(path.string()));
    std::vector<std::uint8_t> valid(SoundRecord::kSize);
    {
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(valid.data()), static_cast<std::streamsize>(valid.size()));
    }
    for (int i = 0; i < 200; ++i) {
        const auto bytes = i % 2 == 0 ? randomBytes(3000) : mutate(valid);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        EXPECT_EQ(kit.loadSoundFile(path.string()), bytes.size() >= SoundRecord::kSize) << i;
        expectSaneParameters();
        if (HasFatalFailure()) break;
        ASSERT_LE(kit.soundName(0).size(), SoundRecord::kNameField);
    }
    std::filesystem::remove(path);
}
