// CLAP host adapter: the clap_plugin_t record handed to the host and the
// extensions the instrument offers (audio and note ports, parameters,
// state, latency, editor, timer and descriptor servicing), all answered
// through IPlugBase's operations.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/IPlugBase.h"
#include "plugin/ClapAbi.h"

namespace kettrix {

class IPlugCLAP : public IPlugBase {
public:
    // What the entry point hands the plug-in class for its host.
    using HostHandle = const clap_host_t*;

    // Outgoing parameter events kept between two process or flush calls.
    static constexpr std::size_t kPendingEventCapacity = 4096;
    // How often the editor is serviced while it is open, in milliseconds.
    static constexpr uint32_t kEditorTimerMs = 33;

    IPlugCLAP(const PlugConfig& config, const clap_host_t* host);
    ~IPlugCLAP() override;

    // The record for the host; its desc is set by the factory.
    clap_plugin_t* GetClapPlugin() { return &plugin_; }

    // Called by the factory once construction is complete.
    void FinishConstruction();

    void BeginHostParamEdit(int paramIndex) override;
    void NotifyHostParam(int paramIndex, double normalized) override;
    void EndHostParamEdit(int paramIndex) override;
    bool HostIsOffline() override;
    // The host's gui request_resize.
    bool RequestEditorSize(int width, int height) override;
    int HostSamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int* numerator, int* denominator) override;
    void HostTimeInfo(HostTimeInfoRecord* timeInfo) override;

private:
    struct PendingEvent {
        uint16_t type;  // value, gesture begin or gesture end
        clap_id param;
        double value;
    };
    struct Extensions;

    static IPlugCLAP* From(const clap_plugin_t* plugin);
    const void* HostExtension(const char* id) const;

    bool Init();
    bool Activate(double sampleRate, uint32_t maxFrames);
    void Deactivate();
    clap_process_status Process(const clap_process_t* process);
    const void* GetExtension(const char* id) const;

    // Applies one host event; note and MIDI events are queued at `offset`
    // within the range being rendered.
    void HandleEvent(const clap_event_header_t* event, int offset);
    void RenderRange(const clap_process_t* process, uint32_t start, uint32_t end);
    void PushPending(const clap_output_events_t* out);
    void QueueEvent(uint16_t type, int paramIndex, double value);

    bool GetParamInfo(uint32_t index, clap_param_info_t* info) const;
    bool ValueToText(clap_id id, double value, char* out, uint32_t capacity) const;
    void Flush(const clap_input_events_t* in, const clap_output_events_t* out);
    bool SaveState(const clap_ostream_t* stream);
    bool LoadState(const clap_istream_t* stream);

    bool GuiCreate(const char* api, bool floating);
    void GuiDestroy();
    bool GuiSetParent(const clap_window_t* window);
    bool GuiShow();
    bool GuiHide();
    bool OpenEditorWindow();
    void CloseEditorWindow();
    void ServiceEditor();

    clap_plugin_t plugin_{};
    const clap_host_t* host_;
    bool active_ = false;
    bool processing_ = false;
    const clap_event_transport_t* transport_ = nullptr;  // during process only
    std::vector<float*> outputPointers_;
    std::array<PendingEvent, kPendingEventCapacity> pending_{};
    std::size_t pendingCount_ = 0;
    Chunk stateChunk_;
    // Editor: created by the host, placed in its parent window, shown.
    bool guiCreated_ = false;
    unsigned long parentWindow_ = 0;
    clap_id timerId_ = CLAP_INVALID_ID;
    int registeredFd_ = -1;
};

}  // namespace kettrix
