// The built plug-in library as a host sees it: its dynamic symbol table and
// instances created through its entry points after dlopen.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "TestHost.h"

namespace kettrix {
namespace {

using test::Dispatch;
using test::RecordingHost;

const char* const kModulePath = KETTRIX4_MODULE_PATH;

class Module : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingHost::Instance().Reset();
        handle_ = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }

    Vst2MainProc Entry(const char* name) { return reinterpret_cast<Vst2MainProc>(dlsym(handle_, name)); }

    void* handle_ = nullptr;
};

TEST(ModuleSymbols, OnlyTheTwoEntryPointsAreExported) {
    const std::string command = std::string("nm -D --defined-only '") + kModulePath + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64];
        char kind[8];
        char name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, kind, name) == 3) {
            exported.insert(name);
        }
    }
    if (pclose(pipe) != 0 && exported.empty()) {
        GTEST_SKIP() << "nm is not available";
    }
    EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST_F(Module, BothEntryPointsCreateIndependentInstances) {
    Vst2MainProc pluginMain = Entry("VSTPluginMain");
    Vst2MainProc legacyMain = Entry("main");
    ASSERT_NE(pluginMain, nullptr);
    ASSERT_NE(legacyMain, nullptr);
    AEffect* first = pluginMain(RecordingHost::Callback);
    AEffect* second = legacyMain(RecordingHost::Callback);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->magic, kEffectMagic);
    EXPECT_EQ(second->uniqueID, Vst2FourCC('K', 'T', 'X', '4'));
    Dispatch(first, effClose);
    EXPECT_EQ(Dispatch(second, effGetVstVersion), 2400);
    Dispatch(second, effClose);
}

TEST_F(Module, HostSequenceWritesEveryFrameSilentUntilTheFirstNoteThenAudible) {
    AEffect* effect = Entry("VSTPluginMain")(RecordingHost::Callback);
    ASSERT_NE(effect, nullptr);
    constexpr int kBlock = 128;
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Dispatch(effect, effSetBlockSize, 0, kBlock);
    Dispatch(effect, effMainsChanged, 0, 1);

    std::vector<std::vector<float>> channels(static_cast<std::size_t>(effect->numOutputs));
    std::vector<float*> outputs;
    for (auto& channel : channels) {
        outputs.push_back(nullptr);
        channel.resize(kBlock);
    }
    // Each block starts from a NaN in every sample, so a frame the plug-in
    // leaves unwritten cannot pass for audio.
    const auto process = [&] {
        for (std::size_t c = 0; c < channels.size(); ++c) {
            channels[c].assign(kBlock, std::numeric_limits<float>::quiet_NaN());
            outputs[c] = channels[c].data();
        }
        effect->processReplacing(effect, nullptr, outputs.data(), kBlock);
    };
    const auto peak = [&] {
        float loudest = 0.0f;
        for (const auto& channel : channels) {
            for (float sample : channel) {
                EXPECT_TRUE(std::isfinite(sample));
                loudest = std::max(loudest, std::fabs(sample));
            }
        }
        return loudest;
    };

    for (int block = 0; block < 4; ++block) {
        process();
        ASSERT_EQ(peak(), 0.0f) << "block " << block;  // no note yet: exact silence
    }
    float loudest = 0.0f;
    for (int block = 0; block < 8; ++block) {
        test::EventList events;
        events.Add(test::MidiEvent(block * 10, 0x99, 36, 100));
        events.Add(test::MidiEvent(kBlock + 500, 0x89, 36, 0));  // beyond the block
        Dispatch(effect, effProcessEvents, 0, 0, events.Build());
        process();
        loudest = std::max(loudest, peak());
        if (HasFailure()) break;
    }
    EXPECT_GT(loudest, 0.01f);  // the kick on note 36 sounds
    EXPECT_LE(loudest, 4.0f);
    Dispatch(effect, effMainsChanged, 0, 0);
    Dispatch(effect, effClose);
}

}  // namespace
}  // namespace kettrix
