#include "plugin/Instance.h"

#include <memory>
#include <new>

#include "plugin/IPlugMonoSynth.h"
#include "plugin/Platform.h"

namespace kettrix {

AEffect* CreateVstInstance(Vst2HostCallback hostCallback) {
    platform::InstanceCreationGuard lock;
    try {
        auto plug = std::make_unique<IPlugMonoSynth>(hostCallback);
        plug->FinishConstruction();
        // The host owns the instance from here on, until effClose.
        return plug.release()->GetAEffect();
    } catch (...) {
        return nullptr;
    }
}

}  // namespace kettrix
