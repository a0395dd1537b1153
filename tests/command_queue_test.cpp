/* command_queue_test.cpp: the ring of move codes: order, a full queue, wrapping and reset. */
#include <gtest/gtest.h>

#include "shell/command_queue.h"

TEST(CommandQueue, CodesComeOutInOrderAcrossTheRingsEndAndAFullQueueRefusesMore)
{
    command_queue_reset();
    EXPECT_EQ(command_queue_pop(), 0);
    // Three rounds of 150 carry the indices past the end of the 200 slots twice.
    for (int round = 0; round < 3; round++) {
        for (int i = 1; i <= 150; i++)
            ASSERT_EQ(command_queue_push(round * 1000 + i), 1);
        for (int i = 1; i <= 150; i++)
            ASSERT_EQ(command_queue_pop(), round * 1000 + i);
        EXPECT_EQ(command_queue_pop(), 0);
    }
    // One slot always stays free: the 200th code is dropped and the 199 before it kept.
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_push(i), 1);
    EXPECT_EQ(command_queue_push(500), 0);
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_pop(), i);
    EXPECT_EQ(command_queue_pop(), 0);
    command_queue_push(7);
    command_queue_reset();
    EXPECT_EQ(command_queue_pop(), 0);
}
