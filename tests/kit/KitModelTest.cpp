// The kit model driven headlessly: an array of parameter values stands in for
// the plug-in's store, a recording sink for the engine and HeadlessEditor for
// the editor.
#include "kit/KitModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HeadlessEditor.h"

using namespace kettrix::kit;

namespace {

class ArrayStore : public ParameterStore {
public:
    double value(int index) const override { return values[static_cast<std::size_t>(index)]; }
    void setValue(int index, double plain) override {
        values[static_cast<std::size_t>(index)] = clampToRange(index, plain);
    }
    void notifyChanged(int index) override {
        if (model) model->parameterChanged(index);
    }
    void storeCurrentPreset() override { ++presetStores; }
    void dumpPresetSource() override { ++dumps; }

    ParameterValues values = KitState::defaults().values;
    KitModel* model = nullptr;
    int presetStores = 0;
    int dumps = 0;
};

// Records what reaches the engine; follows "Keyboard Mode" 0/1 with its lock
// and writes key ranges back like the engine does.
class RecordingSink : public kettrix::SoundParameterSink {
public:
    explicit RecordingSink(ArrayStore& store) : store_(store) {}
    void applySoundParameter(int sound, int off, double value) override { applied.push_back({sound, off, value}); }
    void setMute(int sound, bool on) override {
        calls.push_back("mute " + std::to_string(sound) + (on ? " on" : " off"));
    }
    void setSolo(int sound, bool on) override {
        calls.push_back("solo " + std::to_string(sound) + (on ? " on" : " off"));
    }
    void setSoundVolume(int sound, double v) override {
        calls.push_back("volume " + std::to_string(sound) + " " + std::to_string(v));
    }
    void keyboardModeChanged(double v) override {
        if (v == 0.0) locked = false;
        if (v == 1.0) locked = true;
        calls.push_back("mode " + std::to_string(static_cast<int>(v)));
    }
    void applyKeyboardEdit(int sound) override { calls.push_back("keyboard " + std::to_string(sound)); }
    void setKeyRange(int sound, int lo, int hi) override {
        ranges.push_back({sound, lo, hi});
        const int loOff = locked ? offset::kUserKeyLo : offset::kKeyLo;
        store_.setValue(soundIndex(sound, loOff), lo);
        store_.setValue(soundIndex(sound, loOff + 1), hi);
    }
    void stopSound(int sound) override { calls.push_back("stop " + std::to_string(sound)); }
    bool userKeyLocked() const override { return locked; }

    struct Applied {
        int sound, off;
        double value;
    };
    struct Range {
        int sound, lo, hi;
    };
    std::vector<Applied> applied;
    std::vector<std::string> calls;
    std::vector<Range> ranges;
    bool locked = false;

private:
    ArrayStore& store_;
};

class KitModelTest : public ::testing::Test {
protected:
    KitModelTest() : sink(store), model(store, sink, editor) {
        store.model = &model;
        model.seedRandomizer(12345);
        model.programChanged();  // as the construction's first preset load does
        model.setReady(true);
        editor.current = 0;
    }

    // Sets a parameter the way the host does: store, then dispatch.
    void hostSets(int index, double value) {
        store.setValue(index, value);
        model.parameterChanged(index);
    }

    double value(int sound, int off) const { return store.value(soundIndex(sound, off)); }

    ArrayStore store;
    RecordingSink sink;
    HeadlessEditor editor;
    KitModel model;
};

}  // namespace

TEST_F(KitModelTest, NothingIsDispatchedBeforeReady) {
    model.setReady(false);
    hostSets(11, 0.7);
    hostSets(global::kMute, 1.0);
    model.setSoundName(2, "X");
    EXPECT_TRUE(sink.applied.empty());
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(KitModelTest, GlobalIndicesReachTheirOperations) {
    hostSets(soundIndex(3, 11), 0.25);
    ASSERT_EQ(sink.applied.size(), 1u);
    EXPECT_EQ(sink.applied[0].sound, 3);
    EXPECT_EQ(sink.applied[0].off, 11);
    EXPECT_EQ(sink.applied[0].value, 0.25);

    hostSets(global::kMute + 2, 1.0);
    hostSets(global::kSolo + 9, 1.0);
    hostSets(global::kSolo + 9, 0.0);
    hostSets(global::kSoundVolume + 4, 1.5);
    hostSets(global::kKeyboardMode, 3.0);
    hostSets(global::kKeyboard, 0.5);
    hostSets(global::kSoundOn + 1, 1.0);  // lamp only
    hostSets(1320, 1.0);
    hostSets(1392, 1.0);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"mute 2 on", "solo 9 on", "solo 9 off", "volume 4 1.500000",
                                                    "mode 3", "keyboard 0"}));
}

TEST_F(KitModelTest, SelectorButtonsStepOnlyWhenPressed) {
    editor.current = 6;
    hostSets(1373, 0.0);  // released
    EXPECT_TRUE(editor.selectorSteps.empty());
    hostSets(1373, 1.0);
    hostSets(1378, 1.0);
    hostSets(1384, 1.0);
    using Step = HeadlessEditor::SelectorStep;
    EXPECT_EQ(editor.selectorSteps, (std::vector<Step>{{6, 46, -1}, {6, 19, +1}, {6, 94, +1}}));
}

TEST_F(KitModelTest, ShowSoundSelectsOnlyOutsideProgramChangesAndWhenOn) {
    hostSets(global::kShowSound + 4, 0.0);
    EXPECT_EQ(editor.current, 0);
    model.beforeProgramChange();
    hostSets(global::kShowSound + 4, 1.0);
    EXPECT_EQ(editor.current, 0);
    model.programChanged();
    hostSets(global::kShowSound + 4, 1.0);
    EXPECT_EQ(editor.current, 4);
}

TEST_F(KitModelTest, UserLockAndUserRangesSurviveAProgramChange) {
    hostSets(global::kKeyboardMode, 1.0);
    for (int s = 0; s < kSoundCount; ++s) {
        store.setValue(soundIndex(s, offset::kUserKeyLo), 60);
        store.setValue(soundIndex(s, offset::kUserKeyHi), 60);
    }
    model.beforeProgramChange();
    EXPECT_EQ(store.presetStores, 1);
    // The new kit arrives with its own ranges and mode 0.
    store.values = KitState::defaults().values;
    for (int i = 0; i < kParameterCount; ++i) model.parameterChanged(i);
    sink.ranges.clear();
    model.programChanged();

    EXPECT_EQ(store.value(global::kKeyboardMode), 1.0);
    EXPECT_TRUE(sink.locked);
    ASSERT_EQ(sink.ranges.size(), 10u);
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_EQ(sink.ranges[s].lo, 60);
        EXPECT_EQ(sink.ranges[s].hi, 60);
        EXPECT_EQ(value(s, offset::kUserKeyLo), 60);
    }
    EXPECT_EQ(std::count(sink.calls.begin(), sink.calls.end(), "stop 9"), 1);
}

TEST_F(KitModelTest, WithoutTheLockTheNewKitsRangesStay) {
    hostSets(global::kKeyboardMode, 0.0);
    model.beforeProgramChange();
    store.setValue(global::kKeyboardMode, 1.0);  // stored by the new kit
    model.programChanged();
    EXPECT_EQ(store.value(global::kKeyboardMode), 0.0);
    EXPECT_TRUE(sink.ranges.empty());
}

TEST_F(KitModelTest, RenamingASoundRebuildsTheChokeMenus) {
    model.setSoundName(3, "RIM");
    ASSERT_EQ(editor.chokeEntries.size(), 11u);
    EXPECT_EQ(editor.chokeEntries[0], "OFF");
    EXPECT_EQ(editor.chokeEntries[4], "RIM");
    EXPECT_EQ(editor.shownNames[3], "RIM");
}

TEST_F(KitModelTest, PasteBeforeAnyCopyDoesNothing) {
    model.pasteSound();
    EXPECT_FALSE(model.clipboardFull());
    EXPECT_TRUE(sink.applied.empty());
}

TEST_F(KitModelTest, PasteTakesTheDesignButKeepsTheTargetsPlaceInTheKit) {
    // Sound 0: a distinct design and distinct placement.
    for (int off = 0; off < kSoundBlockSize; ++off) {
        const ParamInfo& p = parameterInfo(soundIndex(0, off));
        store.setValue(soundIndex(0, off), p.min + 0.75 * (p.max - p.min));
    }
    model.copySound();
    editor.current = 3;
    const ParameterValues before = store.values;
    model.pasteSound();

    EXPECT_EQ(model.soundName(3), "KICK");
    EXPECT_EQ(value(3, 11), value(0, 11));
    EXPECT_EQ(value(3, 46), value(0, 46));
    EXPECT_EQ(value(3, 118), value(0, 118));
    const int kept[] = {4,   5,   6,   7,   8,   9,   10,  101, 102, 103, 104, 115,
                        116, 119, 120, 121, 125, 126, 127, 128, 129, 130, 131};
    for (int off : kept) EXPECT_EQ(value(3, off), before[soundIndex(3, off)]) << off;
    // Sound 3 has no envelope-editor parameters of its own: its fresh
    // objects take the values clamped to 0..1.
    EXPECT_EQ(value(3, 1), 0.775);
    EXPECT_TRUE(model.clipboardFull());  // a paste does not empty it
}

TEST_F(KitModelTest, RecordsOfTheEarlierFormShiftNoiseTypesAndKeepTheName) {
    SoundRecord record;
    record.setVersion(0);
    record.setName("OLD");
    for (int off = 0; off < SoundRecord::kValueCount; ++off) record.setValue(off, value(0, off));
    record.setValue(offset::kNoiseType, 5);
    record.setValue(offset::kNoise2Type, 1);
    record.setValue(19, 25);  // "Hit type" beyond its range
    model.applySound(record);
    EXPECT_EQ(value(0, offset::kNoiseType), 6);
    EXPECT_EQ(value(0, offset::kNoise2Type), 1);
    EXPECT_EQ(value(0, 19), 18);
    EXPECT_EQ(model.soundName(0), "KICK");

    record.setVersion(SoundRecord::kCurrentVersion);
    model.applySound(record);
    EXPECT_EQ(value(0, offset::kNoiseType), 5);
    EXPECT_EQ(model.soundName(0), "OLD");
}

TEST_F(KitModelTest, RandomizeWithoutEnvelopesKeepsEnvelopesVelocityAndPlacement) {
    editor.current = 2;
    const ParameterValues before = store.values;
    model.randomizeSound(true);
    for (int off = 0; off < kSoundBlockSize; ++off) {
        const int index = soundIndex(2, off);
        const ParamInfo& p = parameterInfo(index);
        ASSERT_GE(store.value(index), p.min) << off;
        ASSERT_LE(store.value(index), p.max) << off;
        if (keptWithoutEnvelopes(off) || off == 131) {
            EXPECT_EQ(store.value(index), before[index]) << off;
        }
    }
    EXPECT_NE(value(2, 11), before[soundIndex(2, 11)]);
    EXPECT_EQ(model.soundName(2), "SNARE");
    // Other sounds are untouched.
    for (int i = 0; i < kParameterCount; ++i)
        if (i / kSoundBlockSize != 2) {
            ASSERT_EQ(store.values[i], before[i]) << i;
        }
}

TEST_F(KitModelTest, RandomizeAllIsReproducibleAndKeepsPlacement) {
    auto randomized = [](std::uint32_t seed) {
        ArrayStore store;
        RecordingSink sink(store);
        HeadlessEditor editor;
        KitModel model(store, sink, editor);
        store.model = &model;
        model.setReady(true);
        editor.current = 5;
        model.seedRandomizer(seed);
        model.randomizeSound(false);
        return store.values;
    };
    const ParameterValues a = randomized(7), b = randomized(7), c = randomized(8);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    const ParameterValues defaults = KitState::defaults().values;
    bool envelopeChanged = false;
    bool fractionalInteger = false;
    for (int off = 0; off < kSoundBlockSize; ++off) {
        const int index = soundIndex(5, off);
        if ((off >= 101 && off <= 104) || (off >= 119 && off <= 121) || (off >= 125 && off <= 131)) {
            EXPECT_EQ(a[index], defaults[index]) << off;
        }
        envelopeChanged |= off == 26 && a[index] != defaults[index];
        fractionalInteger |= parameterInfo(index).kind == ParamKind::Integer && a[index] != std::floor(a[index]);
    }
    EXPECT_TRUE(envelopeChanged);
    EXPECT_TRUE(fractionalInteger);  // values are not rounded to the step
}

TEST_F(KitModelTest, RandomDrawsFollowTheClassicSequence) {
    RandomDraws draws(1);
    EXPECT_EQ(draws.next(), 41);
    EXPECT_EQ(draws.next(), 18467);
    EXPECT_EQ(draws.next(), 6334);
}

class SoundFileTest : public KitModelTest {
protected:
    ~SoundFileTest() override { std::filesystem::remove(path); }
    std::string path = (std::filesystem::temp_directory_path() /
                        ("kit-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".k4s"))
                           .string();
};

TEST_F(SoundFileTest, SaveWritesOneRecordAndLoadAppliesIt) {
    store.setValue(11, 0.123);
    editor.fileAnswer = path;
    model.runPatchCommand(PatchCommand::Save);
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 1392u);
    EXPECT_EQ(loadInt32(bytes.data() + 1128), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 1132)), "KICK");
    EXPECT_EQ(store.dumps, 0);

    editor.current = 7;
    model.runPatchCommand(PatchCommand::Load);
    EXPECT_EQ(value(7, 11), 0.123);
    EXPECT_EQ(model.soundName(7), "KICK");
}

TEST_F(SoundFileTest, SaveWithControlHeldDumpsThePresets) {
    editor.controlKey = true;
    editor.fileAnswer = "";  // even when the dialog was cancelled
    model.runPatchCommand(PatchCommand::Save);
    EXPECT_EQ(store.dumps, 1);
}

TEST_F(SoundFileTest, ShortFilesAreRefusedAndLongNamesCutAtTheField) {
    SoundRecord record = model.captureSound();
    record.setValue(11, 0.9);
    std::fill(record.bytes().begin() + SoundRecord::kNameAt, record.bytes().end(), 'N');
    ASSERT_TRUE(writeSoundFile(path, record));
    std::filesystem::resize_file(path, 1391);
    const ParameterValues before = store.values;
    EXPECT_FALSE(model.loadSoundFile(path));
    EXPECT_EQ(store.values, before);
    EXPECT_EQ(model.soundName(0), "KICK");

    ASSERT_TRUE(writeSoundFile(path, record));
    EXPECT_TRUE(model.loadSoundFile(path));
    EXPECT_EQ(model.soundName(0), std::string(SoundRecord::kNameField, 'N'));
    EXPECT_EQ(value(0, 11), 0.9);
    EXPECT_FALSE(model.loadSoundFile(path + ".missing"));
}
