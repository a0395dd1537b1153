/* command_queue_test.cpp: the ring of move codes, including a full queue. */
#include <gtest/gtest.h>

#include "shell/command_queue.h"

TEST(CommandQueue, FivePushesComeOutInOrderThenEmpty)
{
    command_queue_reset();
    const int codes[5] = {72, 80, 75, 77, 72};
    for (int code : codes)
        EXPECT_EQ(command_queue_push(code), 1);
    for (int code : codes)
        EXPECT_EQ(command_queue_pop(), code);
    EXPECT_EQ(command_queue_pop(), 0);
}

TEST(CommandQueue, FullQueueRefusesThePushAndKeepsItsCodes)
{
    command_queue_reset();
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_push(i), 1);
    EXPECT_EQ(command_queue_push(500), 0);
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_pop(), i);
    EXPECT_EQ(command_queue_pop(), 0);
}

TEST(CommandQueue, WrapsAroundTheEndOfTheRing)
{
    command_queue_reset();
    for (int round = 0; round < 3; round++) {
        for (int i = 1; i <= 150; i++)
            ASSERT_EQ(command_queue_push(round * 1000 + i), 1);
        for (int i = 1; i <= 150; i++)
            ASSERT_EQ(command_queue_pop(), round * 1000 + i);
    }
    EXPECT_EQ(command_queue_pop(), 0);
    command_queue_push(7);
    command_queue_reset();
    EXPECT_EQ(command_queue_pop(), 0);
}

TEST(CommandQueue, PlainCopyIsASnapshot)
{
    command_queue_reset();
    command_queue_push(72);
    CommandQueue saved = command_queue;
    command_queue_push(80);
    EXPECT_EQ(command_queue_pop(), 72);
    command_queue = saved;
    EXPECT_EQ(command_queue_pop(), 72);
    EXPECT_EQ(command_queue_pop(), 0);
}
