// The plug-in's one re-entrant lock. Every host call holds it for its whole
// duration; operations called from inside take it again, which is harmless.
#pragma once

#include <mutex>

namespace kettrix {

class PlugLock {
public:
    void lock() { mMutex.lock(); }
    void unlock() { mMutex.unlock(); }
    bool try_lock() { return mMutex.try_lock(); }

private:
    std::recursive_mutex mMutex;
};

using PlugLockGuard = std::lock_guard<PlugLock>;

}  // namespace kettrix
