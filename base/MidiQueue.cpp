#include "base/MidiQueue.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace kettrix {

namespace {

int RoundUpToGranularity(long long count) {
    const int g = MidiQueue::kResizeGranularity;
    if (count <= 0) {
        return g;
    }
    const long long rounded = (count + g - 1) / g * g;
    return rounded > MidiQueue::kMaxCapacity ? MidiQueue::kMaxCapacity : static_cast<int>(rounded);
}

}  // namespace

int MidiQueue::CapacityForBlock(int frames) {
    return std::max(kDefaultCapacity, RoundUpToGranularity(static_cast<long long>(frames) * kMessagesPerFrame));
}

MidiQueue::MidiQueue() { Reallocate(kDefaultCapacity); }

bool MidiQueue::Reallocate(int capacity) {
    std::unique_ptr<MidiMessage[]> messages(new (std::nothrow) MidiMessage[static_cast<std::size_t>(capacity)]);
    if (!messages) {
        return false;
    }
    std::copy(messages_.get() + front_, messages_.get() + back_, messages.get());
    back_ -= front_;
    front_ = 0;
    messages_ = std::move(messages);
    capacity_ = capacity;
    return true;
}

void MidiQueue::Compact() {
    if (front_ > 0) {
        std::copy(messages_.get() + front_, messages_.get() + back_, messages_.get());
        back_ -= front_;
        front_ = 0;
    }
}

void MidiQueue::Add(const MidiMessage& message) {
    if (back_ >= capacity_) {
        Compact();
        if (back_ >= capacity_) {
            ++dropped_;
            return;
        }
    }
    if (back_ > front_ && message.offset < messages_[back_ - 1].offset) {
        // Walk back to the last message whose offset is not larger and insert
        // just behind it, shifting the later ones up by one.
        int insertAt = back_ - 1;
        while (insertAt > front_ && messages_[insertAt - 1].offset > message.offset) {
            --insertAt;
        }
        std::copy_backward(messages_.get() + insertAt, messages_.get() + back_, messages_.get() + back_ + 1);
        messages_[insertAt] = message;
    } else {
        messages_[back_] = message;
    }
    ++back_;
}

void MidiQueue::Resize(int frames) {
    Compact();
    // What is pending stays; it never exceeds kMaxCapacity.
    const int capacity = std::max(CapacityForBlock(frames), back_ > 0 ? RoundUpToGranularity(back_) : 0);
    if (capacity != capacity_) {
        Reallocate(capacity);
    }
}

void MidiQueue::Flush(int frames) {
    Compact();
    for (int i = 0; i < back_; ++i) {
        // Saturate so that a hostile offset cannot overflow.
        const long long aged = static_cast<long long>(messages_[i].offset) - frames;
        messages_[i].offset = static_cast<int32_t>(std::clamp<long long>(aged, INT32_MIN, INT32_MAX));
    }
}

}  // namespace kettrix
