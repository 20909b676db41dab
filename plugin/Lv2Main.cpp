// The LV2 module's two exports: lv2_descriptor (the instrument) and
// lv2ui_descriptor (its X11 editor). Plug-in and UI share this one module:
// the editor is part of the plug-in object (its controls, the kit model and
// the engine's lamps all live there) and the UI reaches that object through
// instance-access, so a separate UI module would have to carry the whole
// plug-in as well.
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>
#include <vector>

#include "plugin/IPlugMonoSynth.h"
#include "plugin/Lv2Ports.h"
#include "plugin/Platform.h"

namespace kettrix {

namespace {

IPlugLV2* From(LV2_Handle handle) { return static_cast<IPlugLV2*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
    if (!IPlugLV2::IsUsableSampleRate(sampleRate)) return nullptr;
    platform::InstanceCreationGuard lock;
    try {
        auto plug = std::make_unique<IPlugMonoSynth>(features);
        if (!plug->HasHostFeatures()) return nullptr;
        plug->FinishConstruction(sampleRate);
        // The host owns the instance from here on, until cleanup.
        return static_cast<IPlugLV2*>(plug.release());
    } catch (...) {
        return nullptr;
    }
}

void Cleanup(LV2_Handle handle) {
    IPlugLV2* plug = From(handle);
    // The window goes while the whole instance still exists.
    plug->CloseEditorWindow();
    { PlugLockGuard guard(plug->Lock()); }
    delete plug;
}

const LV2_Descriptor kDescriptor = {
    lv2::kPluginUri,
    &Instantiate,
    [](LV2_Handle h, uint32_t port, void* data) { From(h)->ConnectPort(port, data); },
    [](LV2_Handle h) { From(h)->Activate(); },
    [](LV2_Handle h, uint32_t frames) { From(h)->Run(frames); },
    [](LV2_Handle h) { From(h)->Deactivate(); },
    &Cleanup,
    &IPlugLV2::ExtensionData,
};

// The editor in the host's window. It needs the plug-in object itself
// (instance-access): the controls are objects inside the instance and read
// and change the kit directly, which no port protocol carries. A host that
// does not offer instance-access (or no parent window) gets no UI from
// instantiate and shows its own controls for the ports instead, which cover
// every parameter.
class EditorUi {
public:
    EditorUi(IPlugLV2& plug, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : plug_(plug), write_(write), controller_(controller), touch_(touch) {
        // Room for everything the plug-in can queue, so taking it never
        // allocates under the plug-in lock.
        news_.reserve(static_cast<std::size_t>(3 * plug.NParams()));
    }

    static LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                                    LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features) {
        if (pluginUri == nullptr || std::strcmp(pluginUri, lv2::kPluginUri) != 0 || widget == nullptr) return nullptr;
        auto* instance =
            static_cast<LV2_Handle>(const_cast<void*>(IPlugLV2::FeatureData(features, LV2_INSTANCE_ACCESS_URI)));
        const void* parent = IPlugLV2::FeatureData(features, LV2_UI__parent);
        if (instance == nullptr || parent == nullptr) return nullptr;
        auto* plug = static_cast<IPlugMonoSynth*>(From(instance));
        const auto* resize = static_cast<const LV2UI_Resize*>(IPlugLV2::FeatureData(features, LV2_UI__resize));
        if (!plug->OpenEditorWindow(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)), resize))
            return nullptr;
        *widget = plug->Graphics().GetWindow();
        // The host's window is told the editor's size (a new zoom asks again).
        if (resize != nullptr && resize->ui_resize != nullptr) {
            const IGraphicsLink* graphics = plug->GetGraphics();
            resize->ui_resize(resize->handle, graphics->Width(), graphics->Height());
        }
        return new EditorUi(*plug, write, controller,
                            static_cast<const LV2UI_Touch*>(IPlugLV2::FeatureData(features, LV2_UI__touch)));
    }

    static void Cleanup(LV2UI_Handle handle) {
        auto* ui = static_cast<EditorUi*>(handle);
        ui->plug_.CloseEditorWindow();
        delete ui;
    }

    // From the host's main loop: the plug-in's own changes go to the host's
    // control ports (so it shows them and keeps them in sessions), inside
    // the host's touch of the port where it offers ui:touch (so it records
    // automation as the edit goes); then the editor handles its events and
    // redraws.
    static int Idle(LV2UI_Handle handle) {
        auto* ui = static_cast<EditorUi*>(handle);
        const std::size_t count = ui->plug_.TakePortNews(ui->news_);
        for (std::size_t i = 0; i < count; ++i) ui->Tell(ui->news_[i]);
        ui->plug_.ServiceEditor();
        return 0;
    }

    static const void* ExtensionData(const char* uri) {
        static const LV2UI_Idle_Interface idle = {&Idle};
        return uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
    }

private:
    void Tell(const IPlugLV2::PortNews& news) {
        using Kind = IPlugLV2::PortNews::Kind;
        if (news.kind == Kind::Value) {
            if (write_ != nullptr) write_(controller_, news.port, sizeof(float), 0, &news.value);
        } else if (touch_ != nullptr && touch_->touch != nullptr) {
            touch_->touch(touch_->handle, news.port, news.kind == Kind::Begin);
        }
    }

    IPlugLV2& plug_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    std::vector<IPlugLV2::PortNews> news_;
};

// Port changes need no handling here: the plug-in applies them in run and
// shows them in the editor itself.
const LV2UI_Descriptor kUiDescriptor = {
    lv2::kUiUri, &EditorUi::Instantiate, &EditorUi::Cleanup, nullptr, &EditorUi::ExtensionData,
};

}  // namespace

}  // namespace kettrix

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kettrix::kDescriptor : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kettrix::kUiDescriptor : nullptr;
}
