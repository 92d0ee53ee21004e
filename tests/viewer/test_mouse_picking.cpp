// Decoding of GL selection hit records, including buffers that overflowed or hold bad counts.
#include "picking.h"

#include <gtest/gtest.h>

TEST(HitRecords, OneNamePerRecordInOrder)
{
    const unsigned buffer[] = {1, 10, 20, 7, 1, 5, 9, 10003, 1, 1, 2, 2};
    EXPECT_EQ(decodeHitRecords(buffer, 12, 3), QVector<unsigned>({7, 10003, 2}));
}

TEST(HitRecords, TopOfTheNameStackIsTheName)
{
    const unsigned buffer[] = {2, 0, 0, 4, 9, 0, 0, 0};
    // A record with two names gives the last one; a record with none gives nothing.
    EXPECT_EQ(decodeHitRecords(buffer, 8, 2), QVector<unsigned>({9}));
}

TEST(HitRecords, OverflowAndRecordsBeyondTheBufferGiveNothingMore)
{
    const unsigned buffer[] = {1, 0, 0, 3, 1, 0, 0, 4};
    EXPECT_TRUE(decodeHitRecords(buffer, 8, -1).isEmpty());
    // A count larger than what the buffer holds stops at the last complete record.
    EXPECT_EQ(decodeHitRecords(buffer, 8, 5), QVector<unsigned>({3, 4}));
    // A corrupt name count cannot make the decoder read past the end.
    const unsigned corrupt[] = {1, 0, 0, 3, 4000000000u, 0, 0, 4};
    EXPECT_EQ(decodeHitRecords(corrupt, 8, 2), QVector<unsigned>({3}));
}
