// Active Accessibility for the launcher's self-painted controls (which UI
// Automation reads through its proxy): each tells an assistive tool its
// role, its name or value, whether it has the focus and its default action;
// the system's own proxy for a window answers the rest. Nothing of it is
// loaded before a tool asks: oleacc, COM and the tools' strings come from
// the system folder with the first WM_GETOBJECT.
#ifndef ZRONDEL_BASE_ACCESSIBLE_H
#define ZRONDEL_BASE_ACCESSIBLE_H

#include <windows.h>

// The roles in use, as oleacc numbers them.
enum { ACCESSIBLE_EDITABLE_TEXT = 0x2A, ACCESSIBLE_PUSH_BUTTON = 0x2B };

// What a tool is told of one kind of control; callbacks get the control's
// window and are never null unless said.
struct AccessibleTraits {
    LONG role;                     // ACCESSIBLE_ roles
    bool textIsValue;              // the text is the value (editable text), not the name
    BSTR (*text)(HWND control);    // the text now (AccessibleText); null when it is gone
    bool (*focused)(HWND control); // the focus a tool follows; null: as the system tells
    void (*press)(HWND control);   // the default action, "Press"; null for none
};

// Answers WM_GETOBJECT: the control's client area as the traits tell it;
// every other object, or all of them when oleacc or COM cannot be had, as
// the default window procedure answers.
LRESULT AnswerAccessibleObject(HWND control, WPARAM flags, LPARAM objectId, const AccessibleTraits* traits);

// A tool's string of `length` bytes of the system code page's text, or of a
// NUL-terminated UTF-16 text; null when it cannot be made.
BSTR AccessibleText(const char* text, int length);
BSTR AccessibleText(const wchar_t* text);

// Tells the tools that listen that the focus they follow is now on the
// control; without one listening it costs nothing.
void AnnounceFocus(HWND control);

#endif
