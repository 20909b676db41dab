// The kit model inside the plug-in, driven through the AEffect the way a host
// drives it: parameter names and displays, program chunks, factory programs,
// partial and hostile chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "HeadlessEditor.h"
#include "TestHost.h"
#include "kit/FactoryKits.h"
#include "kit/KitState.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

using namespace kettrix;
using namespace kettrix::kit;
using test::Dispatch;
using test::DispatchText;
using test::GetChunkBytes;
using test::SetChunkBytes;

namespace {

constexpr int32_t kProgramChunk = 1;  // effGetChunk/effSetChunk index: one program
constexpr int kHeaderSize = 8;        // 'pfft' and the framework version

class KitPlugin : public ::testing::Test {
protected:
    KitPlugin() {
        test::RecordingHost::Instance().Reset();
        effect = CreateVstInstance(&test::RecordingHost::Callback);
        plug().AttachEditor(editor_);
    }
    ~KitPlugin() override {
        if (effect) Dispatch(effect, effClose);
    }

    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }
    HeadlessEditor& editor() { return editor_; }
    double plain(int index) { return plug().ParamAt(index)->Value(); }

    // The bare state chunk of the current program.
    std::vector<std::uint8_t> stateChunk() {
        auto bytes = GetChunkBytes(effect, kProgramChunk);
        EXPECT_GE(bytes.size(), static_cast<std::size_t>(kHeaderSize));
        return {bytes.begin() + kHeaderSize, bytes.end()};
    }

    HeadlessEditor editor_;
    AEffect* effect = nullptr;
};

}  // namespace

TEST_F(KitPlugin, HostSeesTheParameterNames) {
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numParams, 1393);
    EXPECT_EQ(DispatchText(effect, effGetParamName, 0), "Osc1 snap to MIDI notes");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 132), "Osc1 snap to MIDI notes");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 234), "SND2 Volume");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 1330), "SND10 Show Sound");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 125), "Patch");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 1385), "paramaterReadout");
    EXPECT_EQ(DispatchText(effect, effGetParamName, 133), "");
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, 133), "0");
    // Long composed names are cut to what the store keeps.
    const std::string longName = DispatchText(effect, effGetParamName, soundIndex(9, 25));
    EXPECT_EQ(longName, std::string("SND10 Osc modulation envelope mode").substr(0, longName.size()));
    EXPECT_GE(longName.size(), 31u);
}

TEST_F(KitPlugin, DisplaysFollowTheStepsOfTheTable) {
    plug().ParamAt(11)->SetPlain(0.25);
    plug().ParamAt(102)->SetPlain(1.5);
    plug().ParamAt(global::kSoundVolume)->SetPlain(0.5);
    plug().ParamAt(19)->SetPlain(7);
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, 11), "0.250000");
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, 102), "1.500");
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, global::kSoundVolume), "0.5000");
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, 19), "7");
    EXPECT_EQ(DispatchText(effect, effGetParamDisplay, 129), "on");
}

TEST_F(KitPlugin, FactoryProgramsAreInPlaceAfterConstruction) {
    EXPECT_EQ(effect->numPrograms, 128);
    EXPECT_EQ(Dispatch(effect, effGetProgram), 0);
    EXPECT_EQ(DispatchText(effect, effGetProgramNameIndexed, 0), "Electronic 1");
    EXPECT_EQ(DispatchText(effect, effGetProgramNameIndexed, 32), "Synth");
    EXPECT_EQ(DispatchText(effect, effGetProgramNameIndexed, 33), "Empty");
    EXPECT_EQ(stateChunk().size(), 11240u);

    Dispatch(effect, effSetProgram, 0, 33);
    const auto empty = stateChunk();
    EXPECT_EQ(empty.size(), 11240u);
    EXPECT_EQ(loadInt32(empty.data()), 4);
    EXPECT_EQ(std::memcmp(empty.data() + 4, "KICK", 4), 0);
    for (int slot = 34; slot < 128; ++slot) {
        ASSERT_EQ(DispatchText(effect, effGetProgramNameIndexed, slot), "-") << slot;
        Dispatch(effect, effSetProgram, 0, slot);
        ASSERT_EQ(stateChunk(), empty) << slot;
    }
}

TEST_F(KitPlugin, FactoryKitsHoldTheirNamesSizesKeyMapsAndChokes) {
    const FactoryKits factory = buildFactoryKits();
    ASSERT_TRUE(factory.errors.empty()) << factory.errors.front();
    ASSERT_EQ(factory.kits.size(), 34u);
    const int sizes[34] = {11240, 11238, 11240, 11241, 11240, 11240, 11240, 11240, 11240, 11240, 11240, 11240,
                           11240, 11240, 11241, 11241, 11240, 11240, 11240, 11240, 11240, 11240, 11240, 11240,
                           11240, 11240, 11240, 11240, 11240, 11239, 11239, 11239, 11215, 11240};
    const int gm[kSoundCount] = {36, 37, 38, 39, 42, 46, 41, 43, 49, 51};
    for (int slot = 0; slot < 34; ++slot) {
        SCOPED_TRACE(factory.kits[slot].name);
        Dispatch(effect, effSetProgram, 0, slot);
        ASSERT_EQ(Dispatch(effect, effGetProgram), slot);
        const auto chunk = stateChunk();
        ASSERT_EQ(static_cast<int>(chunk.size()), sizes[slot]);
        ASSERT_EQ(chunk, factory.kits[slot].chunk);
        KitState kit;
        ASSERT_EQ(decodeStateChunk(chunk, 0, kit), sizes[slot]);
        const auto& v = kit.values;
        EXPECT_EQ(v[global::kKeyboardMode], 0.0);
        const bool noChoke = slot == 6 || slot == 17 || slot == 19 || slot == 24 || slot == 33;
        for (int s = 0; s < kSoundCount; ++s) {
            EXPECT_EQ(v[global::kShowSound + s], s == 0 ? 1.0 : 0.0);
            EXPECT_EQ(v[soundIndex(s, offset::kChannel)], 0.0);
            EXPECT_EQ(v[soundIndex(s, offset::kUserKeyLo)], 36 + 6 * s);
            EXPECT_EQ(v[soundIndex(s, offset::kUserKeyHi)], 41 + 6 * s);
            EXPECT_EQ(v[soundIndex(s, offset::kChoke)], (s == 4 && !noChoke) ? 6.0 : 0.0) << s;
            int lo = gm[s], hi = gm[s];
            if (slot == 33) lo = 36 + 6 * s, hi = 41 + 6 * s;
            if (slot == 32 && s == 0) lo = 24, hi = 112;
            EXPECT_EQ(v[soundIndex(s, offset::kKeyLo)], lo) << s;
            EXPECT_EQ(v[soundIndex(s, offset::kKeyHi)], hi) << s;
        }
    }
    EXPECT_EQ(plug().Kit().soundName(0), "KICK");  // "Empty", the last loaded
    Dispatch(effect, effSetProgram, 0, 32);
    EXPECT_EQ(plug().Kit().soundName(0), "BASS");
    EXPECT_EQ(plug().Kit().soundName(9), "---");
}

TEST_F(KitPlugin, ChunkRoundTripGivesTheSameBytes) {
    effect->setParameter(effect, 11, 0.3f);
    effect->setParameter(effect, soundIndex(4, 19), 0.5f);
    const auto first = GetChunkBytes(effect, kProgramChunk);
    ASSERT_EQ(first.size(), 11248u);
    EXPECT_EQ(loadInt32(first.data()), 0x70666674);
    Dispatch(effect, effSetProgram, 0, 7);
    ASSERT_EQ(SetChunkBytes(effect, kProgramChunk, first), 1);
    EXPECT_EQ(GetChunkBytes(effect, kProgramChunk), first);
}

TEST_F(KitPlugin, ChunkValuesAreClampedAndAnEmptyFirstNameIsKept) {
    KitState state = KitState::defaults();
    state.names[0] = "";
    state.names[1] = "RIM";
    state.values[soundIndex(2, offset::kChoke)] = 11.0;
    ASSERT_EQ(SetChunkBytes(effect, kProgramChunk, encodeStateChunk(state)), 1);
    EXPECT_EQ(plain(soundIndex(2, offset::kChoke)), 10.0);
    EXPECT_EQ(plug().Kit().soundName(0), "");
    EXPECT_EQ(plug().Kit().soundName(1), "RIM");
    EXPECT_EQ(editor().chokeEntries.at(2), "RIM");
}

// A program chunk cut anywhere, framed or bare, is refused whole: the host
// is told 0 and the live state (with an edit not yet stored), the current
// program and every preset slot stay as they were, also after a program
// change away and back.
TEST_F(KitPlugin, ProgramChunksThatCannotBeReadWholeChangeNothing) {
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetProgram, 0, 4);
    effect->setParameter(effect, 11, 0.3f);  // live only, not yet in slot 4
    const double edited = plain(11);
    const auto live = GetChunkBytes(effect, kProgramChunk);
    std::vector<Chunk> slots;
    for (int i = 0; i < plug().NPresets(); ++i) slots.push_back(plug().PresetAt(i)->chunk);
    auto unchanged = [&](std::size_t size) {
        ASSERT_EQ(Dispatch(effect, effGetProgram), 4) << size;
        ASSERT_EQ(GetChunkBytes(effect, kProgramChunk), live) << size;
        for (int i = 0; i < plug().NPresets(); ++i) ASSERT_EQ(plug().PresetAt(i)->chunk, slots[i]) << size;
    };

    KitState source = KitState::defaults();
    source.names = {"A", "BB", "CCC", "D", "E", "F", "G", "H", "I", "J"};
    for (int i = 0; i < kParameterCount; ++i) source.values[static_cast<std::size_t>(i)] = parameterInfo(i).max;
    const auto bare = encodeStateChunk(source);
    for (std::size_t size = 1; size < bare.size(); ++size) {
        ASSERT_EQ(SetChunkBytes(effect, kProgramChunk, {bare.begin(), bare.begin() + static_cast<long>(size)}), 0)
            << size;
        // Every byte of the names, then a sample of the values in detail.
        if (size < 80 || size % 101 == 0) unchanged(size);
    }
    std::vector<std::uint8_t> framed(live.begin(), live.begin() + kHeaderSize);
    framed.insert(framed.end(), bare.begin(), bare.end());
    for (std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{8}, std::size_t{12}, std::size_t{100},
                             framed.size() / 2, framed.size() - 1}) {
        ASSERT_EQ(SetChunkBytes(effect, kProgramChunk, {framed.begin(), framed.begin() + static_cast<long>(size)}), 0)
            << size;
        unchanged(size);
    }
    EXPECT_EQ(plug().Kit().soundName(0), "KICK");
    Dispatch(effect, effSetProgram, 0, 0);
    Dispatch(effect, effSetProgram, 0, 4);
    EXPECT_EQ(plug().Kit().soundName(0), "KICK");
    EXPECT_EQ(plain(11), edited);

    // The whole chunk still loads.
    ASSERT_EQ(SetChunkBytes(effect, kProgramChunk, framed), 1);
    EXPECT_EQ(plug().Kit().soundName(9), "J");
    EXPECT_EQ(plain(soundIndex(3, 11)), parameterInfo(11).max);
}

// A bank of kits cut inside a slot's name, its sound names or its values is
// refused whole: no slot, name or value changes, the current program stays.
TEST_F(KitPlugin, BankChunksThatCannotBeReadWholeChangeNothing) {
    Dispatch(effect, effOpen);
    char name[32];
    auto renameAndEdit = [&](int program, const char* text, float value) {
        Dispatch(effect, effSetProgram, 0, program);
        effect->setParameter(effect, 11, value);
        std::snprintf(name, sizeof name, "%s", text);
        Dispatch(effect, effSetProgramName, 0, 0, name);
    };
    renameAndEdit(1, "Banked", 0.2f);
    renameAndEdit(7, "Mine", 0.3f);
    const auto bank = GetChunkBytes(effect, 0);
    // The instance moves on: slot 1 and 7 differ from the bank now.
    renameAndEdit(1, "Changed", 0.6f);
    renameAndEdit(7, "Changed too", 0.7f);
    Dispatch(effect, effSetProgram, 0, 2);
    effect->setParameter(effect, 11, 0.8f);  // live only
    const auto live = GetChunkBytes(effect, kProgramChunk);
    std::vector<PresetSlot> slots;
    for (int i = 0; i < plug().NPresets(); ++i) slots.push_back(*plug().PresetAt(i));

    // Walks the bank's slots (name, flag, state) to slot 5 and its names.
    std::size_t slot5 = kHeaderSize;
    auto skipText = [&](std::size_t& at) { at += 4 + static_cast<std::size_t>(loadInt32(bank.data() + at)); };
    for (int i = 0; i < 5; ++i) {
        skipText(slot5);
        ASSERT_EQ(bank[slot5++], 1);
        for (int n = 0; n < kSoundCount; ++n) skipText(slot5);
        slot5 += 8 * kParameterCount;
    }
    std::size_t names5 = slot5;
    skipText(names5);
    ++names5;
    for (std::size_t size : {slot5 + 2, names5 + 3, names5 + 60, names5 + 5000, bank.size() - 1}) {
        ASSERT_EQ(SetChunkBytes(effect, 0, {bank.begin(), bank.begin() + static_cast<long>(size)}), 0) << size;
        ASSERT_EQ(Dispatch(effect, effGetProgram), 2) << size;
        ASSERT_EQ(GetChunkBytes(effect, kProgramChunk), live) << size;
        for (int i = 0; i < plug().NPresets(); ++i) {
            ASSERT_EQ(plug().PresetAt(i)->name, slots[i].name) << size;
            ASSERT_EQ(plug().PresetAt(i)->chunk, slots[i].chunk) << size;
        }
    }
    ASSERT_EQ(SetChunkBytes(effect, 0, bank), 1);
    EXPECT_EQ(DispatchText(effect, effGetProgramNameIndexed, 1), "Banked");
    EXPECT_EQ(DispatchText(effect, effGetProgramNameIndexed, 7), "Mine");
}

TEST_F(KitPlugin, ShowSoundIsIgnoredWhileAProgramChangeIsApplied) {
    Dispatch(effect, effOpen);
    EXPECT_EQ(editor().current, 0);  // the kit's "Show Sound" of sound 0
    effect->setParameter(effect, global::kShowSound + 3, 1.0f);
    EXPECT_EQ(editor().current, 3);
    Dispatch(effect, effSetProgram, 0, 5);  // the kit shows sound 0
    EXPECT_EQ(editor().current, 3);
    EXPECT_FALSE(plug().Kit().programChanging());
    effect->setParameter(effect, global::kShowSound + 0, 1.0f);
    EXPECT_EQ(editor().current, 0);
}

TEST_F(KitPlugin, UserLockKeepsTheUsersKeyLayoutAcrossProgramChanges) {
    Dispatch(effect, effOpen);
    effect->setParameter(effect, global::kKeyboardMode, 0.25f);  // 1: "User (Lock)"
    for (int s = 0; s < kSoundCount; ++s) {
        effect->setParameter(effect, soundIndex(s, offset::kUserKeyLo), 0.5f);  // key 60
        effect->setParameter(effect, soundIndex(s, offset::kUserKeyHi), 0.5f);
    }
    Dispatch(effect, effSetProgram, 0, 3);
    ASSERT_EQ(Dispatch(effect, effGetProgram), 3);
    EXPECT_EQ(plain(global::kKeyboardMode), 1.0);
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_EQ(plug().Engine().keyboard().keyLo(s), 60) << s;
        EXPECT_EQ(plug().Engine().keyboard().keyHi(s), 60) << s;
        EXPECT_EQ(plain(soundIndex(s, offset::kUserKeyLo)), 60.0) << s;
    }
}

TEST_F(KitPlugin, WithoutTheLockTheNewKitsKeyMapIsInForce) {
    Dispatch(effect, effOpen);
    effect->setParameter(effect, global::kKeyboardMode, 1.0f);  // 4: six keys per sound, then back to 0
    ASSERT_EQ(plug().Engine().keyboard().keyLo(9), 90);
    Dispatch(effect, effSetProgram, 0, 2);
    EXPECT_EQ(plain(global::kKeyboardMode), 0.0);
    const int gm[kSoundCount] = {36, 37, 38, 39, 42, 46, 41, 43, 49, 51};
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_EQ(plug().Engine().keyboard().keyLo(s), gm[s]) << s;
        EXPECT_EQ(plug().Engine().keyboard().keyHi(s), gm[s]) << s;
    }
}

// A host renaming the current program touches its name and stored state
// only: the keyboard mode and the user ranges stay as the user left them,
// with or without a program change before, and the host hears of no change.
TEST_F(KitPlugin, RenamingAProgramChangesItsNameOnly) {
    Dispatch(effect, effOpen);
    auto rename = [&](const char* text) {
        char name[64];
        std::snprintf(name, sizeof name, "%s", text);
        test::RecordingHost::Instance().calls.clear();
        Dispatch(effect, effSetProgramName, 0, 0, name);
        EXPECT_EQ(DispatchText(effect, effGetProgramName), text);
        EXPECT_EQ(test::RecordingHost::Instance().Count(audioMasterAutomate), 0);
    };

    effect->setParameter(effect, global::kKeyboardMode, 0.25f);  // 1: "User (Lock)"
    rename("Locked kit");
    EXPECT_EQ(plain(global::kKeyboardMode), 1.0);

    // After a locked program change the user edits a range, then renames.
    Dispatch(effect, effSetProgram, 0, 3);
    effect->setParameter(effect, soundIndex(2, offset::kUserKeyLo), 70.0f / 120.0f);
    effect->setParameter(effect, soundIndex(2, offset::kUserKeyHi), 72.0f / 120.0f);
    ASSERT_EQ(plug().Engine().keyboard().keyLo(2), 70);
    rename("Edited kit");
    EXPECT_EQ(plain(global::kKeyboardMode), 1.0);
    EXPECT_EQ(plain(soundIndex(2, offset::kUserKeyLo)), 70.0);
    EXPECT_EQ(plain(soundIndex(2, offset::kUserKeyHi)), 72.0);
    EXPECT_EQ(plug().Engine().keyboard().keyLo(2), 70);
    EXPECT_EQ(plug().Engine().keyboard().keyHi(2), 72);
    EXPECT_EQ(plug().Engine().keyboard().keyLo(3), 36 + 6 * 3);  // the remembered ranges stay
}

// Every sound of the first factory kit answers its General MIDI note with a
// finite, clearly audible signal on the first output pair; a note outside
// every range stays silent.
TEST_F(KitPlugin, EverySoundOfTheFirstKitIsAudibleOnItsNote) {
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effSetBlockSize, 0, 512);
    Dispatch(effect, effMainsChanged, 0, 1);
    std::vector<std::vector<double>> out(12, std::vector<double>(512));
    std::vector<double*> channels;
    for (auto& c : out) channels.push_back(c.data());

    auto peakAfterNote = [&](int note) {
        test::EventList events;
        events.Add(test::MidiEvent(0, 0x90, static_cast<std::uint8_t>(note), 110));
        Dispatch(effect, effProcessEvents, 0, 0, events.Build());
        double peak = 0.0;
        for (int block = 0; block < 40; ++block) {  // about 0.46 s
            effect->processDoubleReplacing(effect, nullptr, channels.data(), 512);
            for (int c = 0; c < 12; ++c) {
                for (double x : out[static_cast<std::size_t>(c)]) {
                    EXPECT_TRUE(std::isfinite(x));
                    if (c < 2) peak = std::max(peak, std::fabs(x));
                }
            }
        }
        return peak;
    };
    EXPECT_EQ(peakAfterNote(100), 0.0);
    const int gm[kSoundCount] = {36, 37, 38, 39, 42, 46, 41, 43, 49, 51};
    for (int s = 0; s < kSoundCount; ++s) EXPECT_GT(peakAfterNote(gm[s]), 0.01) << plug().Kit().soundName(s);
}
