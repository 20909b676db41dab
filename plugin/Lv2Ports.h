// The LV2 plug-in's identity and port layout, shared by the adapter, the
// generator of the bundle's Turtle files and the test host: the event input,
// the twelve audio outputs (six stereo pairs), then one control input per
// parameter in index order.
#pragma once

#include <cstdint>

namespace kettrix::lv2 {

constexpr const char* kPluginUri = "urn:sorvane:kettrix4";
constexpr const char* kUiUri = "urn:sorvane:kettrix4#ui";
// The key under which the state interface stores the program chunk.
constexpr const char* kStateChunkUri = "urn:sorvane:kettrix4#programChunk";

constexpr uint32_t kEventInputPort = 0;
constexpr uint32_t kFirstAudioPort = 1;
constexpr uint32_t kAudioPortCount = 12;
constexpr uint32_t kFirstControlPort = kFirstAudioPort + kAudioPortCount;

constexpr uint32_t ControlPortOf(int paramIndex) { return kFirstControlPort + static_cast<uint32_t>(paramIndex); }
constexpr int ParamOfControlPort(uint32_t port) { return static_cast<int>(port - kFirstControlPort); }

// The port symbol of parameter `index`: stable as long as the index is, as
// sessions and presets find port values by symbol.
constexpr const char* kControlSymbolPrefix = "p";

}  // namespace kettrix::lv2
