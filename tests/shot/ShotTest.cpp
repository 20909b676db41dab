// kettrix-shot: its event scripts and, where the program is built, the
// program itself as scripts call it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#ifdef KETTRIX_SHOT
#include <sys/wait.h>
#endif

#include "EventScript.h"
#include "graphics/IGraphicsOffscreen.h"

namespace kettrix {
namespace {

class ValuePlug : public IGraphicsPlug {
public:
    double last = -1.0;
    int sets = 0;
    void SetParameterFromEditor(int, double normalized) override {
        last = normalized;
        ++sets;
    }
    bool NormalizedFromPlain(int, double, double*) const override { return false; }
};

std::vector<shot::ScriptEvent> Parse(const char* text, std::string* error = nullptr) {
    std::istringstream in(text);
    std::vector<shot::ScriptEvent> events;
    std::string why;
    const bool ok = shot::ParseEventScript(in, events, why);
    if (error) *error = ok ? "" : why;
    return events;
}

TEST(ShotScript, ParsesEveryEventAndRejectsMalformedLines) {
    std::string error;
    const auto events = Parse(
        "# a comment\n\n  down 10 20 right shift\ndrag 11 25\nup 11 25\nwheel 5 6 -2\n"
        "dblclick 1 2\nmove 3 4\nkey 15\nidle 3\n",
        &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].kind, shot::ScriptEvent::kDown);
    EXPECT_TRUE(events[0].mod.R);
    EXPECT_FALSE(events[0].mod.L);
    EXPECT_TRUE(events[0].mod.S);
    EXPECT_EQ(events[3].amount, -2.0);
    EXPECT_EQ(events[6].amount, 15.0);
    EXPECT_EQ(events[7].line, 10);
    for (const char* bad : {"jump 1 2\n", "down 1\n", "wheel 1 2\n", "key -1\n", "up 1 2 shift\n", "down 1 2 meta\n",
                            "drag 1 2000000\n", "idle\n"}) {
        Parse(bad, &error);
        EXPECT_NE(error, "") << bad;
    }
    Parse("move 1 2\nfoo\n", &error);
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
}

TEST(ShotScript, ReplayDragsAKnobLikeAWindowHost) {
    ValuePlug plug;
    IGraphicsOffscreen gui(&plug, 100, 100);
    LICE_MemBitmap strip(20, 2000);
    gui.AttachControl(new IKnobMultiControl(&plug, 10, 10, 0, IBitmap(&strip, 20, 2000, 100)));
    shot::ReplayEvents(gui, Parse("down 15 15\ndrag 15 5\ndrag 15 -5\nup 15 -5\nidle 2\n"));
    // Twenty pixels up over a 20-pixel knob with gearing 4: a quarter.
    EXPECT_NEAR(plug.last, 0.25, 1e-12);
    EXPECT_EQ(gui.GetMouseCapture(), -1);
}

#ifdef KETTRIX_SHOT
int RunShot(const std::string& args) {
    const std::string command = std::string(KETTRIX_SHOT) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ShotProgram, WritesTheEditorPictureAndChecksItsCommandLine) {
    const std::string dir = ::testing::TempDir();
    const std::string png = dir + "shot-test.png", script = dir + "shot-test.events";
    std::ofstream(script) << "# click the first sound tab, then wait\ndown 40 15\nup 40 15\nidle 2\n";
    ASSERT_EQ(RunShot("--out " + png + " --program 1 --sound 3 --size-check --events " + script), 0);
    std::ifstream file(png, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::unique_ptr<LICE_MemBitmap> picture(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->GetWidth(), 839);
    EXPECT_EQ(picture->GetHeight(), 556);

    EXPECT_EQ(RunShot(""), 2);
    EXPECT_EQ(RunShot("--out " + png + " --sound 10"), 2);
    EXPECT_EQ(RunShot("--out " + png + " --bogus"), 2);
    EXPECT_EQ(RunShot("--out " + png + " --hold 36,40"), 0);
    for (const char* notes : {"128", "36,", ",36", "36,x", ""})
        EXPECT_EQ(RunShot("--out " + png + " --hold " + notes), 2) << notes;
    std::ofstream(script) << "down 1 2\nsqueeze 3 4\n";
    EXPECT_EQ(RunShot("--out " + png + " --events " + script), 2);
    EXPECT_EQ(RunShot("--out " + png + " --events " + dir + "no-such-file"), 1);
    EXPECT_EQ(RunShot("--out " + dir + "no-such-dir/x.png"), 1);
    std::remove(png.c_str());
    std::remove(script.c_str());
}
#endif

}  // namespace
}  // namespace kettrix
