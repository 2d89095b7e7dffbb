#include "app/ring_keys.h"

#include <ctype.h>
#include <gtest/gtest.h>

namespace {

char Upper(char c)
{
    return static_cast<char>(toupper(static_cast<unsigned char>(c)));
}

// Slots count 0..23: inner sectors 0, 3, 6, ... anticlockwise from the
// right, each with the two outer sectors 3g+1 (below its middle) and 3g+2.
TEST(RingKeys, MovesRoundBothRingsAcrossThemAndThroughSlotOrder)
{
    struct {
        int chosen;
        RingMove move;
        int expected;
    } moves[] = {
        {0, RING_CLOCKWISE, 21},     {21, RING_CLOCKWISE, 18},  {0, RING_ANTICLOCKWISE, 3},
        {21, RING_ANTICLOCKWISE, 0}, {1, RING_CLOCKWISE, 23},   {2, RING_CLOCKWISE, 1},
        {23, RING_ANTICLOCKWISE, 1}, {2, RING_ANTICLOCKWISE, 4}, {0, RING_OUTWARD, 1},
        {21, RING_OUTWARD, 22},      {1, RING_INWARD, 0},       {2, RING_INWARD, 0},
        {23, RING_INWARD, 21},       {4, RING_OUTWARD, 4},      {3, RING_INWARD, 3},
        {5, RING_NEXT_SLOT, 6},      {23, RING_NEXT_SLOT, 0},   {0, RING_PREVIOUS_SLOT, 23},
        {7, RING_PREVIOUS_SLOT, 6},  {17, RING_FIRST_SLOT, 0},  {-1, RING_CLOCKWISE, 0},
        {-1, RING_OUTWARD, 0},       {-1, RING_NEXT_SLOT, 0},   {-1, RING_PREVIOUS_SLOT, 23},
    };
    for (const auto& m : moves)
        EXPECT_EQ(ChoiceAfterMove(m.chosen, m.move), m.expected) << m.chosen << " move " << m.move;

    int slot = 0, visited = 0;
    do { // Tab meets every slot once before it comes back
        slot = ChoiceAfterMove(slot, RING_NEXT_SLOT);
        ++visited;
    } while (slot != 0);
    EXPECT_EQ(visited, 24);
}

TEST(RingKeys, ALetterChoosesTheNextHintStartingWithItWrappingAndInAnyCase)
{
    const char* hints[24] = {"alpha", nullptr, "Beta", "", "apple", "7zip"};
    hints[20] = "Avocado";
    hints[22] = "bravo";
    struct {
        int chosen;
        char character;
        int expected;
    } choices[] = {
        {-1, 'a', 0}, {0, 'A', 4}, {4, 'a', 20}, {20, 'a', 0}, // wrapping past slot 24
        {-1, 'B', 2}, {2, 'b', 22}, {22, 'B', 2}, {-1, '7', 5},
        {5, '7', 5},   // the only one: chosen again
        {3, 'z', 3},   // no hint starts with it: the choice stays
        {-1, 'z', -1},
    };
    for (const auto& c : choices)
        EXPECT_EQ(ChoiceByInitial(c.chosen, hints, c.character, Upper), c.expected)
            << c.chosen << " '" << c.character << "'";
}

} // namespace
