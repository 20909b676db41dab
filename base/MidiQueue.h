// Offset-ordered queue of MIDI messages, filled by the host adapter before a
// block and drained by the render loop at the messages' sample offsets.
// Pending messages are those from Front() up to (not including) Back().
#pragma once

#include <cstddef>
#include <memory>

#include "base/MidiMessage.h"

namespace kettrix {

class MidiQueue {
public:
    static constexpr int kDefaultCapacity = 1024;
    static constexpr int kDefaultGrowStep = 1024;
    // Resize rounds to whole pages of messages (4096 bytes of 8-byte messages).
    static constexpr int kResizeGranularity = 512;
    // Upper bound on the capacity (512 KB of messages): a host flooding the
    // queue with far-future events cannot exhaust memory.
    static constexpr int kMaxCapacity = 1 << 16;

    MidiQueue();

    // Inserts by offset; equal offsets keep their arrival order. Grows by the
    // growth step when full; a message that cannot be stored is dropped.
    void Add(const MidiMessage& message);
    // Sets the growth step and capacity for blocks of `frames` frames.
    void Resize(int frames);
    // Ends a block: compacts and ages the pending offsets by `frames`.
    void Flush(int frames);

    bool Empty() const { return mFront >= mBack; }
    int Pending() const { return mBack - mFront; }
    // The earliest pending message; only valid when not Empty().
    const MidiMessage& Peek() const { return mMessages[mFront]; }
    void Remove() {
        if (mFront < mBack) {
            ++mFront;
        }
    }
    // The i-th pending message (0 = earliest).
    const MidiMessage& PendingAt(int i) const { return mMessages[mFront + i]; }
    void Clear() { mFront = mBack = 0; }

    int Capacity() const { return mCapacity; }
    int GrowStep() const { return mGrowStep; }
    int Front() const { return mFront; }
    int Back() const { return mBack; }

private:
    void Compact();
    bool Reallocate(int capacity);

    std::unique_ptr<MidiMessage[]> mMessages;
    int mCapacity = 0;
    int mGrowStep = kDefaultGrowStep;
    int mFront = 0;
    int mBack = 0;
};

}  // namespace kettrix
