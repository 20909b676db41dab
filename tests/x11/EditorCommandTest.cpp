// kettrix-render --editor run as a program on the test's X server: the host
// side of editor windows, checked with third-party plug-ins and our own.
#include "PngReader.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <fstream>

using kettrix::test::Picture;
using kettrix::test::readPng;
using namespace kettrix::render::test;

namespace {

const std::string kRender = KETTRIX_RENDER_EXE;
const std::string kScratch = KETTRIX_TEST_SCRATCH_DIR;

std::string scratch(const std::string& name) { return kScratch + "/editor-command-" + name; }

// Leak reports from a foreign library are not ours to fix.
const std::map<std::string, std::string> kForeignEnv = {{"ASAN_OPTIONS", "detect_leaks=0"}};

ProgramResult run(const std::string& name, const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env = {}) {
    return runProgram(kRender, args, scratch(name), env);
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

TEST(EditorCommandThirdParty, DebianPluginEditorsShowTheirPicture) {
    // Instruments and effects with an editor from Debian's dpf-plugins-vst,
    // used only as test subjects for the host side.
    int tried = 0;
    for (const std::string name : {"Nekobi", "3BandEQ"}) {
        const std::string plugin = "/usr/lib/vst/" + name + "-vst.so";
        if (!exists(plugin)) continue;
        ++tried;
        SCOPED_TRACE(name);
        const std::string shot = scratch(name + ".png");
        std::remove(shot.c_str());
        const auto r = run(name, {"--editor", plugin, "--screenshot", shot, "--after", "1"}, kForeignEnv);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Picture picture = readPng(shot);
        ASSERT_GT(picture.width, 100);
        ASSERT_GT(picture.height, 50);
        // A window the editor never drew into holds the host's black
        // background: one colour. Knobs, text and artwork give hundreds.
        EXPECT_GT(picture.colours(), 100u);
        std::size_t black = 0;
        for (uint32_t p : picture.pixels) black += p == 0;
        EXPECT_LT(black, picture.pixels.size() / 2) << "most of the window was never drawn";
    }
    if (tried == 0) GTEST_SKIP() << "dpf-plugins-vst is not installed";
}

TEST(EditorCommand, WithoutADisplayTheCommandSaysSo) {
    const std::string plugin = "/usr/lib/vst/Nekobi-vst.so";
    if (!exists(plugin)) GTEST_SKIP() << "dpf-plugins-vst is not installed";
    const auto r = run("no-display", {"--editor", plugin, "--screenshot", scratch("none.png"), "--after", "0"},
                       {{"DISPLAY", ""}, {"ASAN_OPTIONS", "detect_leaks=0"}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot open the X display"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(scratch("none.png")));
}

#ifdef KETTRIX4_PLUGIN
TEST(EditorCommandKettrix4, ScreenshotIsTheOffscreenEditorAndClosingSavesTheState) {
    const std::string shot = scratch("k4.png"), state = scratch("k4-editor.state");
    auto r = run("k4", {"--editor", KETTRIX4_PLUGIN, "--program", "3", "--save-state", state, "--screenshot", shot,
                        "--after", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture window = readPng(shot);
    EXPECT_EQ(window.width, 839);
    EXPECT_EQ(window.height, 556);

    // The state saved when the editor closed is the program's, untouched.
    const std::string rendered = scratch("k4-render.state");
    r = run("k4-render", {KETTRIX4_PLUGIN, "--demo", "--out", scratch("k4.wav"), "--tail", "0", "--program", "3",
                          "--save-state", rendered});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(slurp(state), slurp(rendered));
    EXPECT_GT(slurp(state).size(), 1000u);

#ifdef KETTRIX_SHOT_EXE
    const std::string offscreen = scratch("k4-offscreen.png");
    r = runProgram(KETTRIX_SHOT_EXE, {"--out", offscreen, "--program", "3"}, scratch("k4-shot"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture expected = readPng(offscreen);
    ASSERT_EQ(expected.width, window.width);
    ASSERT_EQ(expected.height, window.height);
    EXPECT_TRUE(expected.pixels == window.pixels) << "the window and kettrix-shot differ";
#endif
}
#endif
