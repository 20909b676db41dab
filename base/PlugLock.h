// The plug-in's one re-entrant lock. Every host call holds it for its whole
// duration; operations called from inside take it again, which is harmless.
#pragma once

#include <mutex>

namespace kettrix {

class PlugLock {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
};

using PlugLockGuard = std::lock_guard<PlugLock>;

}  // namespace kettrix
