#include "tests/win/support/input.h"

#include <stdio.h>

namespace {

void SendOne(INPUT input)
{
    SendInput(1, &input, sizeof input);
    PumpMessages(20);
}

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendOne(input);
}

INPUT KeyInput(WORD virtualKey, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

void SendKey(WORD virtualKey, DWORD flags)
{
    SendOne(KeyInput(virtualKey, flags));
}

DWORD ButtonFlag(MouseButton button, bool down)
{
    switch (button) {
    case RIGHT_BUTTON:
        return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case MIDDLE_BUTTON:
        return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    default:
        return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
}

struct DragPath {
    POINT from;
    POINT to;
    int steps;
    DWORD pressedThread; // the thread of the window pressed on, which runs the move loop
};

DWORD WINAPI MoveThenRelease(void* parameter)
{
    const DragPath* path = static_cast<const DragPath*>(parameter);
    // Moves that arrive before the press has started the move loop are not
    // the loop's: it would take the last of them as its starting point.
    GUITHREADINFO thread = {sizeof thread};
    bool moving = false;
    for (int waited = 0; !moving && waited < 5000; waited += 10) {
        moving = GetGUIThreadInfo(path->pressedThread, &thread) && (thread.flags & GUI_INMOVESIZE);
        if (!moving)
            Sleep(10);
    }
    if (!moving)
        printf("the press at %ld,%ld started no move loop within 5 s\n", path->from.x, path->from.y);
    for (int step = 1; step <= path->steps; ++step)
        MovePointerTo(path->from.x + (path->to.x - path->from.x) * step / path->steps,
                      path->from.y + (path->to.y - path->from.y) * step / path->steps);
    ReleaseButton(LEFT_BUTTON);
    delete path;
    return 0;
}

} // namespace

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
}

void SendPointerMove(int screenX, int screenY)
{
    // Absolute positions are in 1/65536 of the primary screen; aim at the
    // middle of the wanted pixel so rounding cannot move it.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screenX * 65536LL + 32768) / width);
    input.mi.dy = static_cast<LONG>((screenY * 65536LL + 32768) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void MovePointerTo(int screenX, int screenY)
{
    SendPointerMove(screenX, screenY);
    PumpMessages(20);
}

void ApproachPointer(int screenX, int screenY)
{
    MovePointerTo(screenX - 4, screenY - 3);
    MovePointerTo(screenX, screenY);
}

void PressButton(MouseButton button)
{
    SendMouse(ButtonFlag(button, true));
}

void ReleaseButton(MouseButton button)
{
    SendMouse(ButtonFlag(button, false));
}

void ClickAt(int screenX, int screenY, MouseButton button)
{
    MovePointerTo(screenX, screenY);
    PressButton(button);
    ReleaseButton(button);
}

void DragWithLeftButton(POINT from, POINT to, int steps)
{
    ApproachPointer(from.x, from.y);
    // The hand's own: it may outlive a drag that was given up on.
    DragPath* path = new DragPath{from, to, steps, GetWindowThreadProcessId(WindowFromPoint(from), nullptr)};
    HANDLE hand = CreateThread(nullptr, 0, MoveThenRelease, path, 0, nullptr);
    if (!hand) {
        delete path;
        return;
    }
    PressButton(LEFT_BUTTON);
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &hand, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() - start < 15000)
        PumpMessages(10);
    if (WaitForSingleObject(hand, 0) != WAIT_OBJECT_0)
        printf("the drag to %ld,%ld did not end within 15 s\n", to.x, to.y);
    CloseHandle(hand);
    PumpMessages(100);
}

void PressKey(WORD virtualKey)
{
    SendKey(virtualKey, 0);
}

void ReleaseKey(WORD virtualKey)
{
    SendKey(virtualKey, KEYEVENTF_KEYUP);
}

void TapKey(WORD virtualKey, WORD modifier, WORD secondModifier)
{
    if (modifier)
        PressKey(modifier);
    if (secondModifier)
        PressKey(secondModifier);
    PressKey(virtualKey);
    ReleaseKey(virtualKey);
    if (secondModifier)
        ReleaseKey(secondModifier);
    if (modifier)
        ReleaseKey(modifier);
}

void SendChord(WORD virtualKey, WORD modifier, WORD secondModifier)
{
    const WORD keys[3] = {modifier, secondModifier, virtualKey};
    INPUT chord[6];
    UINT count = 0;
    for (WORD key : keys)
        if (key)
            chord[count++] = KeyInput(key, 0);
    for (int i = 2; i >= 0; --i)
        if (keys[i])
            chord[count++] = KeyInput(keys[i], KEYEVENTF_KEYUP);
    SendInput(count, chord, sizeof chord[0]);
    PumpMessages(50);
}

void TypeText(const char* text)
{
    for (; *text; ++text) {
        SHORT key = VkKeyScanA(*text);
        WORD virtualKey = LOBYTE(key);
        TapKey(virtualKey, (HIBYTE(key) & 1) ? VK_SHIFT : 0);
    }
}
