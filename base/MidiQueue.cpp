#include "base/MidiQueue.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace kettrix {

namespace {

int RoundUpToGranularity(int count) {
    const int g = MidiQueue::kResizeGranularity;
    if (count <= 0) {
        return g;
    }
    const long long rounded = (static_cast<long long>(count) + g - 1) / g * g;
    return rounded > MidiQueue::kMaxCapacity ? MidiQueue::kMaxCapacity : static_cast<int>(rounded);
}

}  // namespace

MidiQueue::MidiQueue() { Reallocate(kDefaultCapacity); }

bool MidiQueue::Reallocate(int capacity) {
    std::unique_ptr<MidiMessage[]> messages(new (std::nothrow) MidiMessage[static_cast<std::size_t>(capacity)]);
    if (!messages) {
        return false;
    }
    std::copy(mMessages.get() + mFront, mMessages.get() + mBack, messages.get());
    mBack -= mFront;
    mFront = 0;
    mMessages = std::move(messages);
    mCapacity = capacity;
    return true;
}

void MidiQueue::Compact() {
    if (mFront > 0) {
        std::copy(mMessages.get() + mFront, mMessages.get() + mBack, mMessages.get());
        mBack -= mFront;
        mFront = 0;
    }
}

void MidiQueue::Add(const MidiMessage& message) {
    if (mBack >= mCapacity) {
        if (mFront > 0) {
            Compact();
        } else {
            if (mGrowStep <= 0) {
                return;
            }
            const long long grown = (static_cast<long long>(mCapacity) / mGrowStep + 1) * mGrowStep;
            if (grown > kMaxCapacity || !Reallocate(static_cast<int>(grown))) {
                return;
            }
        }
    }
    if (mBack > mFront && message.offset < mMessages[mBack - 1].offset) {
        // Walk back to the last message whose offset is not larger and insert
        // just behind it, shifting the later ones up by one.
        int insertAt = mBack - 1;
        while (insertAt > mFront && mMessages[insertAt - 1].offset > message.offset) {
            --insertAt;
        }
        std::copy_backward(mMessages.get() + insertAt, mMessages.get() + mBack, mMessages.get() + mBack + 1);
        mMessages[insertAt] = message;
    } else {
        mMessages[mBack] = message;
    }
    ++mBack;
}

void MidiQueue::Resize(int frames) {
    Compact();
    mGrowStep = RoundUpToGranularity(frames);
    const int capacity = std::max(mGrowStep, mBack > mGrowStep ? RoundUpToGranularity(mBack) : 0);
    if (capacity != mCapacity) {
        Reallocate(capacity);
    }
}

void MidiQueue::Flush(int frames) {
    Compact();
    for (int i = 0; i < mBack; ++i) {
        // Saturate so that a hostile offset cannot overflow.
        const long long aged = static_cast<long long>(mMessages[i].offset) - frames;
        mMessages[i].offset = static_cast<int32_t>(std::clamp<long long>(aged, INT32_MIN, INT32_MAX));
    }
}

}  // namespace kettrix
