#include "app/ring_keys.h"

#include "base/slots.h"

namespace {

const double kTurn = 6.283185307179586;
// Middles of neighbouring sectors of the two rings lie at equal angles
// from each other; the sums that make them may differ in the last bits.
const double kSameAngle = 1e-9;

double MiddleAngle(const RingLayoutEntry& entry)
{
    return entry.startAngle + entry.angularWidth / 2;
}

// The angle from a to b going clockwise on the screen (angles grow
// anticlockwise), in (0, 2 pi] for distinct angles.
double ClockwiseFrom(double a, double b)
{
    double turn = a - b;
    while (turn <= kSameAngle)
        turn += kTurn;
    return turn;
}

// The slot of the sectors whose ring `onSameRing` selects that lies the
// least `distance` from the chosen one; the first in slot order of equals.
int Nearest(int chosen, bool onSameRing, double (*distance)(double from, double to))
{
    RingLayoutEntry layout[SLOT_COUNT];
    BuildRingLayout(layout);
    const double from = MiddleAngle(layout[chosen]);
    int best = chosen;
    double bestDistance = 2 * kTurn;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        bool sameRing = layout[slot].innerRadius == layout[chosen].innerRadius;
        if (slot == chosen || sameRing != onSameRing)
            continue;
        double d = distance(from, MiddleAngle(layout[slot]));
        if (d < bestDistance - kSameAngle) {
            best = slot;
            bestDistance = d;
        }
    }
    return best;
}

double Clockwise(double from, double to)
{
    return ClockwiseFrom(from, to);
}

double Anticlockwise(double from, double to)
{
    return ClockwiseFrom(to, from);
}

double EitherWay(double from, double to)
{
    double clockwise = ClockwiseFrom(from, to);
    return clockwise < kTurn - clockwise ? clockwise : kTurn - clockwise;
}

bool OnInnerRing(int slot)
{
    return slot % 3 == 0; // groups of one inner and two outer sectors
}

} // namespace

int ChoiceAfterMove(int chosen, RingMove move)
{
    if (chosen < 0 || chosen >= SLOT_COUNT)
        return move == RING_PREVIOUS_SLOT ? SLOT_COUNT - 1 : 0;
    switch (move) {
    case RING_CLOCKWISE:
        return Nearest(chosen, true, Clockwise);
    case RING_ANTICLOCKWISE:
        return Nearest(chosen, true, Anticlockwise);
    case RING_OUTWARD:
        return OnInnerRing(chosen) ? Nearest(chosen, false, EitherWay) : chosen;
    case RING_INWARD:
        return OnInnerRing(chosen) ? chosen : Nearest(chosen, false, EitherWay);
    case RING_NEXT_SLOT:
        return (chosen + 1) % SLOT_COUNT;
    case RING_PREVIOUS_SLOT:
        return (chosen + SLOT_COUNT - 1) % SLOT_COUNT;
    case RING_FIRST_SLOT:
        return 0;
    }
    return chosen;
}

int ChoiceByInitial(int chosen, const char* const hints[], char character, char (*fold)(char))
{
    const bool none = chosen < 0 || chosen >= SLOT_COUNT;
    const int first = none ? 0 : chosen + 1;
    const char wanted = fold(character);
    for (int step = 0; step < SLOT_COUNT; ++step) {
        int slot = (first + step) % SLOT_COUNT;
        if (hints[slot] && hints[slot][0] && fold(hints[slot][0]) == wanted)
            return slot;
    }
    return none ? -1 : chosen;
}
