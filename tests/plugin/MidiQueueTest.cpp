// MIDI queue: offset ordering, ageing across blocks, compaction and growth.
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

TEST(MidiQueue, FullQueueCompactsBeforeGrowingAndGrowsByTheStep) {
    MidiQueue queue;
    queue.Resize(512);
    ASSERT_EQ(queue.Capacity(), 512);
    ASSERT_EQ(queue.GrowStep(), 512);
    for (int i = 0; i < 512; ++i) {
        queue.Add(Note(i, i & 0x7F));
    }
    for (int i = 0; i < 100; ++i) {
        queue.Remove();
    }
    queue.Add(Note(1000, 1));  // room is made by compaction, not growth
    EXPECT_EQ(queue.Capacity(), 512);
    EXPECT_EQ(queue.Front(), 0);
    EXPECT_EQ(queue.Pending(), 413);

    for (int i = 0; i < 99; ++i) {
        queue.Add(Note(1000, 2));
    }
    ASSERT_EQ(queue.Pending(), 512);
    queue.Add(Note(2000, 3));  // full from index 0: grows one step
    EXPECT_EQ(queue.Capacity(), 1024);
    EXPECT_EQ(queue.Pending(), 513);
    EXPECT_EQ(queue.PendingAt(0).offset, 100);
    EXPECT_EQ(queue.PendingAt(512).offset, 2000);
}

TEST(MidiQueue, AFloodOfMessagesStopsGrowingAtTheCapacityLimit) {
    MidiQueue queue;
    for (int i = 0; i <= MidiQueue::kMaxCapacity; ++i) {
        queue.Add(Note(i, 1));
    }
    EXPECT_EQ(queue.Capacity(), MidiQueue::kMaxCapacity);
    EXPECT_EQ(queue.Pending(), MidiQueue::kMaxCapacity);  // the last one was dropped
    EXPECT_EQ(queue.PendingAt(MidiQueue::kMaxCapacity - 1).offset, MidiQueue::kMaxCapacity - 1);
}

TEST(MidiQueue, ResizeRoundsToWholePagesAndKeepsPendingMessages) {
    MidiQueue queue;
    EXPECT_EQ(queue.Capacity(), 1024);
    queue.Resize(1);
    EXPECT_EQ(queue.Capacity(), 512);
    queue.Resize(513);
    EXPECT_EQ(queue.Capacity(), 1024);
    EXPECT_EQ(queue.GrowStep(), 1024);

    for (int i = 0; i < 700; ++i) {
        queue.Add(Note(i, 1));
    }
    queue.Resize(64);  // more pending than the new step: room for all of them
    EXPECT_EQ(queue.GrowStep(), 512);
    EXPECT_EQ(queue.Capacity(), 1024);
    EXPECT_EQ(queue.Pending(), 700);
    EXPECT_EQ(queue.PendingAt(699).offset, 699);
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
