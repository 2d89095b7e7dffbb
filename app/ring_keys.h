// Which sector the keyboard chooses next on the ring: by a letter or digit,
// round a ring, out to or in from the other ring, and through all 24 in
// slot order. Slots are 0..23 here (the user counts 1 to 24); -1 is no
// choice. Platform-free: it builds natively for the tests as well as for
// Windows.
#ifndef ZRONDEL_APP_RING_KEYS_H
#define ZRONDEL_APP_RING_KEYS_H

enum RingMove {
    RING_CLOCKWISE,        // Right: the next sector of the same ring clockwise on the screen
    RING_ANTICLOCKWISE,    // Left
    RING_OUTWARD,          // Up: the outer ring's sector nearest in angle
    RING_INWARD,           // Down: the inner ring's sector nearest in angle
    RING_NEXT_SLOT,        // Tab
    RING_PREVIOUS_SLOT,    // Shift+Tab
    RING_FIRST_SLOT        // Home
};

// The choice after the move. Without a choice every move starts at slot 0,
// but Shift+Tab, which starts at the last; a ring with nothing further
// (Up on the outer ring, Down on the inner) keeps the choice.
int ChoiceAfterMove(int chosen, RingMove move);

// The next slot after the chosen one (from slot 0 without a choice), in slot
// order and wrapping round to the chosen one itself, whose hint starts with
// the character, both first folded by `fold` (the letter case of the
// system's code page); absent and empty hints start with nothing. The
// choice stays when no hint does.
int ChoiceByInitial(int chosen, const char* const hints[], char character, char (*fold)(char));

#endif
