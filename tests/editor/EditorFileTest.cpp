// The Patch menu's file commands on the current sound, with a scripted dialog.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "EditorFixture.h"
#include "editor/IFileControl.h"
#include "kit/SoundRecord.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;

// Answers the dialog with the next scripted path ("" cancels) and checks that
// the audio thread could take the plug-in lock while the user is asked.
class ScriptedDialog final : public SoundFileDialog {
public:
    explicit ScriptedDialog(PlugLock& lock) : lock_(lock) {}
    std::string AskForSoundFile(bool save, const std::string& folder) override {
        ++asked;
        lastSave = save;
        lastFolder = folder;
        std::atomic<bool> free{false};
        std::thread audio([&] {
            if (lock_.try_lock()) {
                free = true;
                lock_.unlock();
            }
        });
        audio.join();
        lockFreeWhileAsking = lockFreeWhileAsking && free;
        return answer;
    }
    std::string answer;
    int asked = 0;
    bool lastSave = false;
    std::string lastFolder;
    bool lockFreeWhileAsking = true;

private:
    PlugLock& lock_;
};

class EditorFiles : public EditorFixture {
protected:
    EditorFiles() : dialog(plug().Lock()) {
        open();
        ed().SetFileDialog(dialog);
        dir = std::filesystem::temp_directory_path() / ("kettrix-editor-files-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    ~EditorFiles() override { std::filesystem::remove_all(dir); }

    // Selects sound s and chooses a row of its Patch menu (opened by a right click on its name).
    void patch(int s, int row) {
        rightClick(35 + 77 * s + 30, 24);
        ASSERT_EQ(ed().currentSound(), s);
        ASSERT_FALSE(menu().IsHidden());
        menu().Layout();
        const IRECT r = menu().MenuRect();
        click(r.L + 26 + 100, r.T + 49 + row * 27 + 13);
    }
    enum Row { kLoad = 0, kSave = 1, kCopy = 2, kPaste = 3, kRandomizeAll = 4, kRandomizeKeep = 5 };

    // The recorded values of sound s, without the first sound's "Patch" (the menu's own value).
    std::vector<double> soundValues(int s) {
        std::vector<double> v;
        for (int off = 0; off < kit::SoundRecord::kValueCount; ++off)
            if (soundIndex(s, off) != soundIndex(0, kit::offset::kPatch)) v.push_back(plain(soundIndex(s, off)));
        return v;
    }
    std::string path(const char* name) { return (dir / name).string(); }

    ScriptedDialog dialog;
    std::filesystem::path dir;
};

TEST_F(EditorFiles, PasteBeforeCopyDoesNothingAndCopyPasteMovesSettingsAndName) {
    const std::vector<double> five = soundValues(5);
    patch(5, kPaste);
    EXPECT_EQ(soundValues(5), five);
    EXPECT_TRUE(menu().IsHidden());

    effect->setParameter(effect, soundIndex(2, 11), 0.123f);
    effect->setParameter(effect, soundIndex(2, 46), 7.0f / 39.0f);
    patch(2, kCopy);
    EXPECT_TRUE(ed().FileControl()->ClipboardFull());
    patch(5, kPaste);
    EXPECT_EQ(plug().Kit().soundName(5), "SNARE");
    EXPECT_FLOAT_EQ(static_cast<float>(plain(soundIndex(5, 11))), 0.123f);
    EXPECT_EQ(plain(soundIndex(5, 46)), 7.0);
    EXPECT_DOUBLE_EQ(controlOf(5, 46)->GetValue(), 7.0 / 39.0) << "the selector shows the pasted value";
    EXPECT_EQ(dialog.asked, 0);
}

TEST_F(EditorFiles, SaveThenLoadIsByteExactAndRunsWithoutThePlugInLock) {
    effect->setParameter(effect, soundIndex(1, 13), 0.77f);
    dialog.answer = path("perc.k4s");
    patch(1, kSave);
    EXPECT_EQ(dialog.asked, 1);
    EXPECT_TRUE(dialog.lastSave);
    EXPECT_EQ(std::filesystem::file_size(dialog.answer), kit::SoundRecord::kSize);
    EXPECT_EQ(ed().FileControl()->LastFolder(), dir.string());

    // Another sound takes the settings and name (its place in the kit stays its own).
    patch(8, kLoad);
    EXPECT_FALSE(dialog.lastSave);
    EXPECT_EQ(dialog.lastFolder, dir.string()) << "the dialog starts in the last folder";
    EXPECT_EQ(plug().Kit().soundName(8), "PERC");
    EXPECT_FLOAT_EQ(static_cast<float>(plain(soundIndex(8, 13))), 0.77f);
    // Loaded back into its own sound after an edit, it saves the same bytes again.
    effect->setParameter(effect, soundIndex(1, 13), 0.1f);
    patch(1, kLoad);
    EXPECT_FLOAT_EQ(static_cast<float>(plain(soundIndex(1, 13))), 0.77f);
    const std::string again = path("again.k4s");
    dialog.answer = again;
    patch(1, kSave);
    std::ifstream a(path("perc.k4s"), std::ios::binary), b(again, std::ios::binary);
    const std::string first((std::istreambuf_iterator<char>(a)), {}), second((std::istreambuf_iterator<char>(b)), {});
    EXPECT_EQ(first, second);
    EXPECT_TRUE(dialog.lockFreeWhileAsking);
}

TEST_F(EditorFiles, ShortFilesMissingFilesAndCancelledDialogsChangeNothing) {
    const std::string shortFile = path("short.k4s");
    {
        std::ofstream out(shortFile, std::ios::binary);
        out << std::string(1000, '\x40');
    }
    const std::vector<double> before = soundValues(3);
    for (const std::string& answer : {shortFile, path("missing.k4s"), std::string()}) {
        dialog.answer = answer;
        patch(3, kLoad);
        EXPECT_EQ(soundValues(3), before) << answer;
        EXPECT_EQ(plug().Kit().soundName(3), "CLAP") << answer;
    }
    dialog.answer.clear();
    patch(3, kSave);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "a cancelled save writes nothing";
    EXPECT_EQ(dialog.asked, 4);
}

TEST_F(EditorFiles, RandomizeChangesTheCurrentSoundOnlyAndKeepsTheMenuOpen) {
    const std::vector<double> others = soundValues(0);
    const std::vector<double> before = soundValues(6);
    plug().Kit().seedRandomizer(1234);
    patch(6, kRandomizeAll);
    EXPECT_NE(soundValues(6), before);
    EXPECT_EQ(soundValues(0), others);
    EXPECT_FALSE(menu().IsHidden()) << "the randomizers can be tried again";
}

}  // namespace
}  // namespace kettrix::test
