// MIDI queue: offset ordering, ageing across blocks, compaction, fixed storage.
#include <gtest/gtest.h>

#include <vector>

#include "base/MidiQueue.h"

namespace kettrix {
namespace {

MidiMessage Note(int offset, int note) { return MidiMessage::FromBytes(offset, 0x90, static_cast<uint8_t>(note), 100); }

std::vector<int> PendingNotes(const MidiQueue& queue) {
    std::vector<int> notes;
    for (int i = 0; i < queue.Pending(); ++i) {
        notes.push_back(queue.PendingAt(i).data1);
    }
    return notes;
}

TEST(MidiQueue, EqualOffsetsKeepArrivalOrderAndEarlierOffsetsMoveAhead) {
    MidiQueue queue;
    queue.Add(Note(10, 1));
    queue.Add(Note(10, 2));
    queue.Add(Note(30, 3));
    queue.Add(Note(10, 4));  // behind the other 10s, before 30
    queue.Add(Note(0, 5));   // before everything
    queue.Add(Note(30, 6));
    EXPECT_EQ(PendingNotes(queue), (std::vector<int>{5, 1, 2, 4, 3, 6}));
}

TEST(MidiQueue, FlushAgesPendingOffsetsAndCompacts) {
    MidiQueue queue;
    queue.Add(Note(5, 1));
    queue.Add(Note(300, 2));
    queue.Remove();  // the render took the first
    queue.Flush(256);
    EXPECT_EQ(queue.Front(), 0);
    EXPECT_EQ(queue.Pending(), 1);
    EXPECT_EQ(queue.Peek().offset, 44);
    EXPECT_EQ(queue.Peek().data1, 2);
}

TEST(MidiQueue, FullQueueCompactsFirstThenDropsAndCountsWithoutGrowing) {
    MidiQueue queue;
    queue.Resize(256);
    const int capacity = queue.Capacity();
    ASSERT_EQ(capacity, MidiQueue::kDefaultCapacity);
    for (int i = 0; i < capacity; ++i) {
        queue.Add(Note(i, i & 0x7F));
    }
    for (int i = 0; i < 100; ++i) {
        queue.Remove();
    }
    queue.Add(Note(5000, 1));  // room is made by compaction
    EXPECT_EQ(queue.Front(), 0);
    EXPECT_EQ(queue.Pending(), capacity - 99);
    EXPECT_EQ(queue.Dropped(), 0u);

    for (int i = 0; i < 99; ++i) {
        queue.Add(Note(5000, 2));
    }
    ASSERT_EQ(queue.Pending(), capacity);
    queue.Add(Note(6000, 3));  // full from index 0: dropped
    queue.Add(Note(0, 4));     // even when it would sort first
    EXPECT_EQ(queue.Capacity(), capacity);
    EXPECT_EQ(queue.Pending(), capacity);
    EXPECT_EQ(queue.Dropped(), 2u);
    EXPECT_EQ(queue.PendingAt(0).offset, 100);
    EXPECT_EQ(queue.PendingAt(capacity - 1).offset, 5000);
}

TEST(MidiQueue, AFloodKeepsTheEarliestMessagesInTheStorageSetForTheBlock) {
    MidiQueue queue;
    queue.Resize(512);
    const int capacity = queue.Capacity();
    for (int i = 0; i < 10000; ++i) {
        queue.Add(Note(i, 1));
    }
    EXPECT_EQ(queue.Capacity(), capacity);
    EXPECT_EQ(queue.Pending(), capacity);
    EXPECT_EQ(queue.Dropped(), static_cast<std::uint32_t>(10000 - capacity));
    EXPECT_EQ(queue.PendingAt(capacity - 1).offset, capacity - 1);
}

TEST(MidiQueue, ResizeGivesTwoMessagesPerFrameInWholePagesAndKeepsPendingMessages) {
    MidiQueue queue;
    EXPECT_EQ(queue.Capacity(), MidiQueue::kDefaultCapacity);
    queue.Resize(1);
    EXPECT_EQ(queue.Capacity(), MidiQueue::kDefaultCapacity);  // never less
    queue.Resize(1000);
    EXPECT_EQ(queue.Capacity(), 2048);
    queue.Resize(1 << 20);
    EXPECT_EQ(queue.Capacity(), MidiQueue::kMaxCapacity);

    queue.Resize(1500);
    for (int i = 0; i < 1700; ++i) {
        queue.Add(Note(i, 1));
    }
    queue.Resize(64);  // more pending than the new block needs: room for all of them
    EXPECT_EQ(queue.Capacity(), 2048);
    EXPECT_EQ(queue.Pending(), 1700);
    EXPECT_EQ(queue.PendingAt(1699).offset, 1699);
}

TEST(MidiQueue, DataBytesAreMaskedToSevenBitsAndOffsetsNeverOverflow) {
    const MidiMessage message = MidiMessage::FromBytes(0, 0x90, 0xFF, 0x80);
    EXPECT_EQ(message.data1, 0x7F);
    EXPECT_EQ(message.data2, 0x00);
    EXPECT_TRUE(message.IsNoteOff());  // velocity 0 after masking

    MidiQueue queue;
    queue.Add(Note(INT32_MIN + 5, 1));
    queue.Flush(1024);
    EXPECT_EQ(queue.Peek().offset, INT32_MIN);
}

}  // namespace
}  // namespace kettrix
