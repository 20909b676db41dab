#include "plugin/Instance.h"

#include <memory>
#include <new>

#include "plugin/IPlugMonoSynth.h"
#include "plugin/Platform.h"

namespace kettrix {

namespace {

class CreationLock {
public:
    CreationLock() { platform::LockInstanceCreation(); }
    ~CreationLock() { platform::UnlockInstanceCreation(); }
    CreationLock(const CreationLock&) = delete;
    CreationLock& operator=(const CreationLock&) = delete;
};

}  // namespace

AEffect* CreateVstInstance(Vst2HostCallback hostCallback) {
    CreationLock lock;
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
