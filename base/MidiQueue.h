// Offset-ordered queue of MIDI messages, filled by the host adapter before a
// block and drained by the render loop at the messages' sample offsets.
// Pending messages are those from Front() up to (not including) Back().
//
// The queue is filled on the audio thread, so it never allocates there: its
// storage is sized at construction and when the block size is set (Resize),
// and a message that finds it full is dropped and counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/MidiMessage.h"

namespace kettrix {

class MidiQueue {
public:
    // Storage before any block size is known, and the least Resize gives.
    static constexpr int kDefaultCapacity = 1024;
    // Room per frame of a block: a note-on and a note-off on every frame.
    static constexpr int kMessagesPerFrame = 2;
    // Capacities are whole pages of messages (4096 bytes of 8-byte messages).
    static constexpr int kResizeGranularity = 512;
    // Upper bound on the capacity (512 KB of messages), whatever the block size.
    static constexpr int kMaxCapacity = 1 << 16;

    MidiQueue();

    // Inserts by offset; equal offsets keep their arrival order. When the
    // queue is full the message is dropped and counted (Dropped()).
    void Add(const MidiMessage& message);
    // Sizes the storage for blocks of `frames` frames, keeping what is
    // pending. Allocates: call it when the block size is set, never while
    // audio runs.
    void Resize(int frames);
    // Ends a block: compacts and ages the pending offsets by `frames`.
    void Flush(int frames);

    bool Empty() const { return front_ >= back_; }
    int Pending() const { return back_ - front_; }
    // The earliest pending message; only valid when not Empty().
    const MidiMessage& Peek() const { return messages_[front_]; }
    void Remove() {
        if (front_ < back_) {
            ++front_;
        }
    }
    // The i-th pending message (0 = earliest).
    const MidiMessage& PendingAt(int i) const { return messages_[front_ + i]; }
    void Clear() { front_ = back_ = 0; }

    int Capacity() const { return capacity_; }
    int Front() const { return front_; }
    int Back() const { return back_; }
    // Messages dropped because the queue was full, since construction
    // (wraps around after 2^32).
    std::uint32_t Dropped() const { return dropped_; }

    // The capacity Resize gives for blocks of `frames` frames.
    static int CapacityForBlock(int frames);

private:
    void Compact();
    bool Reallocate(int capacity);

    std::unique_ptr<MidiMessage[]> messages_;
    int capacity_ = 0;
    int front_ = 0;
    int back_ = 0;
    std::uint32_t dropped_ = 0;
};

}  // namespace kettrix
