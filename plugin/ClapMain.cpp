// The CLAP module's only export, clap_entry: one plug-in factory with one
// instrument, instances created under the process-wide creation lock.
#include <cstdio>
#include <cstring>
#include <memory>

#include "plugin/ClapAbi.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Platform.h"

namespace kettrix {

namespace {

constexpr const char* kPluginId = "com.sorvane.kettrix4";
constexpr const char* kFeatures[] = {"instrument", "drum-machine", "stereo", nullptr};

// The descriptor, from the plug-in class's configuration.
struct Description {
    char version[16];
    clap_plugin_descriptor_t descriptor;

    Description() {
        const PlugConfig config = IPlugMonoSynth::Configuration();
        std::snprintf(version, sizeof version, "%d.%d.%d", (config.version >> 16) & 0xFFFF,
                      (config.version >> 8) & 0xFF, config.version & 0xFF);
        descriptor =
            clap_plugin_descriptor_t{CLAP_VERSION, kPluginId, config.effectName, config.vendorString, "",
                                     "",           "",        version,           "Drum synthesizer",  kFeatures};
    }
};

const clap_plugin_descriptor_t* Descriptor() {
    static const Description description;
    return &description.descriptor;
}

const clap_plugin_t* CreatePlugin(const clap_host_t* host, const char* id) {
    if (host == nullptr || id == nullptr || std::strcmp(id, kPluginId) != 0 ||
        !clap_version_is_compatible(host->clap_version)) {
        return nullptr;
    }
    platform::InstanceCreationGuard lock;
    try {
        auto plug = std::make_unique<IPlugMonoSynth>(host);
        plug->FinishConstruction();
        clap_plugin_t* record = plug->GetClapPlugin();
        record->desc = Descriptor();
        // The host owns the instance from here on, until destroy.
        plug.release();
        return record;
    } catch (...) {
        return nullptr;
    }
}

const clap_plugin_factory_t kFactory = {
    [](const clap_plugin_factory_t*) -> uint32_t { return 1; },
    [](const clap_plugin_factory_t*, uint32_t index) -> const clap_plugin_descriptor_t* {
        return index == 0 ? Descriptor() : nullptr;
    },
    [](const clap_plugin_factory_t*, const clap_host_t* host, const char* id) { return CreatePlugin(host, id); },
};

}  // namespace

}  // namespace kettrix

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION,
    [](const char*) -> bool { return true; },
    []() {},
    [](const char* id) -> const void* {
        return id != nullptr && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kettrix::kFactory : nullptr;
    },
};
