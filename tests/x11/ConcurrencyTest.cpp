// The editor under the three threads a Linux host runs at once: its
// user-interface thread (editor idle and the user's mouse), its audio thread
// (MIDI notes and processReplacing) and an automation thread (setParameter). Run
// under ThreadSanitizer in CI; here it must not deadlock and the audio must
// stay finite.
#include <gtest/gtest.h>

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "plugin/EditorAttachment.h"
#include "plugin/IPlugVST.h"
#include "plugin/Instance.h"
// The X11 headers last: their macros (Bool, None) clash with C++ names.
#include "X11HostWindow.h"
#include "XTestInput.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

using kettrix::render::X11HostWindow;
using kettrix::test::XTestInput;

namespace {

std::atomic<int> gAutomations{0};

intptr_t KETTRIX_VST_CALL Host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    if (opcode == audioMasterAutomate) ++gAutomations;
    if (opcode == audioMasterVersion) return 2400;
    return 0;
}

// A knob-like test control: drawn from its value, dragged and clicked like a
// knob, bound to a parameter. A grid of them over the editor makes every
// pointer position touch a parameter, whatever the editor holds itself.
class GridKnob : public kettrix::IControl {
public:
    GridKnob(kettrix::IGraphicsPlug* plug, const kettrix::IRECT& r, int param) : IControl(plug, r, param) {}
    bool Draw(kettrix::IGraphics* g) override {
        g->FillIRect(kettrix::IColor(255, static_cast<int>(255 * GetValue()), 80, 120), GetRECT());
        return true;
    }
    void OnMouseDown(int, int, const kettrix::IMouseMod&) override {
        value_ = 1.0 - value_;
        SetDirty();
    }
    void OnMouseDrag(int, int, int, int dY, const kettrix::IMouseMod&) override {
        value_ -= dY / 200.0;
        SetDirty();
    }
};

// The grid stops above the on-screen keyboard, which takes the pointer's
// clicks below it (preview notes from this thread while MIDI plays).
constexpr int kGridBottom = 460;

void AttachGrid(AEffect* effect) {
    auto* plug = static_cast<kettrix::IPlugVST*>(effect->object);
    auto* attachment = dynamic_cast<kettrix::EditorAttachment*>(plug->GetGraphics());
    ASSERT_NE(attachment, nullptr);
    kettrix::IGraphics& graphics = attachment->Graphics();
    kettrix::IGraphicsPlug* link = &attachment->PlugLink();
    int param = 0;
    for (int y = 0; y + 40 <= kGridBottom; y += 40)
        for (int x = 0; x + 40 <= graphics.Width(); x += 40)
            graphics.AttachControl(new GridKnob(link, kettrix::IRECT(x, y, x + 40, y + 40), param++ * 7 % 1393));
}

}  // namespace

TEST(EditorThreads, UserInterfaceAudioAndAutomationThreadsTogether) {
    AEffect* effect = kettrix::CreateVstInstance(&Host);
    ASSERT_NE(effect, nullptr);
    const auto dispatch = [effect](int32_t op, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                                   float opt = 0.0f) { return effect->dispatcher(effect, op, index, value, ptr, opt); };
    AttachGrid(effect);
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effSetBlockSize, 0, 256);
    dispatch(effMainsChanged, 0, 1);

    constexpr auto kRunTime = std::chrono::seconds(3);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::atomic<long> blocks{0}, automations{0};

    std::thread audio([&] {
        std::vector<float> buffers(12 * 256);
        std::vector<float*> outputs(12);
        for (int c = 0; c < 12; ++c) outputs[c] = &buffers[static_cast<std::size_t>(c) * 256];
        // Every block a note starts and the one started three blocks ago
        // ends, so keys and lamps light and darken while the editor ticks.
        VstMidiEvent note{}, off{};
        note.type = off.type = kVstMidiType;
        note.byteSize = off.byteSize = sizeof note;
        struct {
            int32_t numEvents;
            intptr_t reserved;
            VstEvent* events[2];
        } list{2, 0, {reinterpret_cast<VstEvent*>(&note), reinterpret_cast<VstEvent*>(&off)}};
        for (unsigned n = 0; !stop; ++n) {
            note.deltaFrames = static_cast<int32_t>(n * 37 % 256);
            note.midiData[0] = static_cast<char>(0x90);
            note.midiData[1] = static_cast<char>(36 + n % 24);
            note.midiData[2] = static_cast<char>(40 + n % 80);
            off.deltaFrames = static_cast<int32_t>(n * 53 % 256);
            off.midiData[0] = static_cast<char>(0x80);
            off.midiData[1] = static_cast<char>(36 + (n + 21) % 24);
            effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
            effect->processReplacing(effect, nullptr, outputs.data(), 256);
            for (float s : buffers)
                if (!std::isfinite(s)) finite = false;
            ++blocks;
        }
    });
    std::thread automation([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> param(0, effect->numParams - 1);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        while (!stop) {
            effect->setParameter(effect, param(random), value(random));
            ++automations;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    // This thread is the host's user-interface thread: the editor's window,
    // its idle calls, and a user moving, clicking and dragging everywhere.
    {
        X11HostWindow parent(839, 556, "threads");
        XTestInput input;
        ASSERT_TRUE(input.Available());
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, parent.parentHandle()), 1);
        std::mt19937 random(11);
        std::uniform_int_distribution<int> x(0, 838), y(0, 555), keyboardY(466, 510);
        const auto end = std::chrono::steady_clock::now() + kRunTime;
        for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
            // Presses last three moves. Every other press is on the keyboard:
            // left ones play keys, and every fourth is a right press on the
            // kick's key (an end of its range) dragging the range around.
            const int press = i / 7, step = i % 7;
            const bool keyboard = press % 2 == 0, right = press % 4 == 2;
            int px = x(random), py = keyboard ? keyboardY(random) : y(random);
            if (right && step == 0) px = 48 + 98 + 7;  // note 36
            input.MoveTo(parent.windowId(), px, py);
            if (step == 0) input.Button(right ? 3 : 1, true);
            if (step == 3) input.Button(right ? 3 : 1, false);
            if (i % 29 == 0) input.Click(4);
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        input.Button(1, false);
        input.Button(3, false);
        dispatch(effEditIdle);
        dispatch(effEditClose);
    }
    stop = true;
    audio.join();
    automation.join();
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);

    EXPECT_TRUE(finite);
    EXPECT_GT(blocks.load(), 10);
    EXPECT_GT(automations.load(), 100);
}
