// Real input for the Windows tests: SendInput goes through the window system
// (under Wine, the X server), so hit tests, capture and GetAsyncKeyState all
// see it as they would see a person's hand.
#ifndef ZRONDEL_TESTS_INPUT_H
#define ZRONDEL_TESTS_INPUT_H

#include <windows.h>

enum MouseButton { LEFT_BUTTON, RIGHT_BUTTON, MIDDLE_BUTTON };

// Dispatches this thread's messages for the given time, so that the input
// sent so far has arrived and been handled.
void PumpMessages(DWORD milliseconds = 50);

// Queues the move and returns at once, for callers that time its arrival.
void SendPointerMove(int screenX, int screenY);
// The move, and its messages handled.
void MovePointerTo(int screenX, int screenY);
// Slides onto the point from a few pixels away, as a hand arrives: Wine can
// let a single jump pass unseen, after a drop through the X server or onto
// a window that has just appeared.
void ApproachPointer(int screenX, int screenY);
void PressButton(MouseButton button);
void ReleaseButton(MouseButton button);
// Move, press, release.
void ClickAt(int screenX, int screenY, MouseButton button = LEFT_BUTTON);
// A left-button drag in even steps on a caption area. The press enters the
// system's move loop, which only returns with the release, so the moves and
// the release come from another thread, once the loop runs, while this one
// (or the process owning the window) runs that loop.
void DragWithLeftButton(POINT from, POINT to, int steps = 5);

void PressKey(WORD virtualKey);
void ReleaseKey(WORD virtualKey);
// Press and release, with the modifiers (VK_SHIFT, VK_CONTROL, VK_MENU; 0
// for none) held around it.
void TapKey(WORD virtualKey, WORD modifier = 0, WORD secondModifier = 0);
// The same chord as one SendInput call: every press and release is queued
// before the first is read, as a fast typist or a remote desktop sends it.
void SendChord(WORD virtualKey, WORD modifier, WORD secondModifier = 0);
// Types ASCII letters, digits, blanks and punctuation as key strokes.
void TypeText(const char* text);

#endif
