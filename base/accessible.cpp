// The interfaces as C records of function pointers: the object below is a
// plain record with a table of plain functions, like every other here.
#define CINTERFACE
#define COBJMACROS
#include "base/accessible.h"

#include <oleacc.h>
#include <stdlib.h>

#include "base/system_library.h"

namespace {

typedef HRESULT(WINAPI* StandardObject)(HWND window, LONG objectId, REFIID interfaceId, void** object);
typedef LRESULT(WINAPI* ResultFromObject)(REFIID interfaceId, WPARAM flags, IUnknown* object);
typedef HRESULT(WINAPI* JoinApartment)(void* reserved, DWORD model);
typedef BSTR(WINAPI* AllocateString)(const OLECHAR* text, UINT length);

// One answer to a tool, alive while the tool holds it.
struct AccessibleControl {
    IAccessible face;               // what the tool calls; first, so that the record is its address
    LONG references;                // held by the tool and by COM's marshalling; freed at 0
    IAccessible* standard;          // the system's proxy of the client area: every other answer
    HWND control;                   // the control told of
    const AccessibleTraits* traits; // what is told
};

AccessibleControl* Of(IAccessible* face)
{
    return reinterpret_cast<AccessibleControl*>(face);
}

IAccessible* Standard(IAccessible* face)
{
    return Of(face)->standard;
}

bool IsSelf(VARIANT child)
{
    return V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF;
}

HRESULT WINAPI QueryInterface(IAccessible* face, REFIID id, void** object)
{
    if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IDispatch) && !IsEqualIID(id, IID_IAccessible)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = face;
    InterlockedIncrement(&Of(face)->references);
    return S_OK;
}

ULONG WINAPI AddRef(IAccessible* face)
{
    return InterlockedIncrement(&Of(face)->references);
}

ULONG WINAPI Release(IAccessible* face)
{
    LONG left = InterlockedDecrement(&Of(face)->references);
    if (left == 0) {
        IAccessible_Release(Of(face)->standard);
        free(Of(face));
    }
    return left;
}

// The text as the name (or the value), or the proxy's answer where the
// traits tell the other one.
HRESULT TextAnswer(IAccessible* face, VARIANT child, BSTR* text, bool asValue)
{
    const AccessibleControl* self = Of(face);
    if (!IsSelf(child) || self->traits->textIsValue != asValue)
        return asValue ? IAccessible_get_accValue(self->standard, child, text)
                       : IAccessible_get_accName(self->standard, child, text);
    *text = self->traits->text(self->control);
    return *text ? S_OK : S_FALSE;
}

HRESULT WINAPI GetName(IAccessible* face, VARIANT child, BSTR* name)
{
    return TextAnswer(face, child, name, false);
}

HRESULT WINAPI GetValue(IAccessible* face, VARIANT child, BSTR* value)
{
    return TextAnswer(face, child, value, true);
}

HRESULT WINAPI GetRole(IAccessible* face, VARIANT child, VARIANT* role)
{
    if (!IsSelf(child))
        return IAccessible_get_accRole(Standard(face), child, role);
    V_VT(role) = VT_I4;
    V_I4(role) = Of(face)->traits->role;
    return S_OK;
}

HRESULT WINAPI GetState(IAccessible* face, VARIANT child, VARIANT* state)
{
    const AccessibleControl* self = Of(face);
    HRESULT result = IAccessible_get_accState(self->standard, child, state);
    if (FAILED(result) || !IsSelf(child) || !self->traits->focused || V_VT(state) != VT_I4)
        return result;
    // The keyboard's focus stays on the parent: the traits tell the one a tool follows.
    V_I4(state) |= STATE_SYSTEM_FOCUSABLE;
    if (self->traits->focused(self->control))
        V_I4(state) |= STATE_SYSTEM_FOCUSED;
    else
        V_I4(state) &= ~STATE_SYSTEM_FOCUSED;
    return result;
}

HRESULT WINAPI GetDefaultAction(IAccessible* face, VARIANT child, BSTR* action)
{
    if (!IsSelf(child) || !Of(face)->traits->press)
        return IAccessible_get_accDefaultAction(Standard(face), child, action);
    *action = AccessibleText(L"Press");
    return *action ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI DoDefaultAction(IAccessible* face, VARIANT child)
{
    const AccessibleControl* self = Of(face);
    if (!IsSelf(child) || !self->traits->press)
        return IAccessible_accDoDefaultAction(self->standard, child);
    self->traits->press(self->control);
    return S_OK;
}

// The rest is the proxy's, unchanged.
#define PASS_ON(name, parameters, arguments)                                                                 \
    HRESULT WINAPI name parameters                                                                         \
    {                                                                                                      \
        return Standard(face)->lpVtbl->name arguments;                                                     \
    }
PASS_ON(GetTypeInfoCount, (IAccessible * face, UINT* count), (Standard(face), count))
PASS_ON(GetTypeInfo, (IAccessible * face, UINT index, LCID locale, ITypeInfo** info),
        (Standard(face), index, locale, info))
PASS_ON(GetIDsOfNames, (IAccessible * face, REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids),
        (Standard(face), id, names, count, locale, ids))
PASS_ON(Invoke,
        (IAccessible * face, DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
         VARIANT* result, EXCEPINFO* exception, UINT* argument),
        (Standard(face), member, id, locale, flags, parameters, result, exception, argument))
PASS_ON(get_accParent, (IAccessible * face, IDispatch** parent), (Standard(face), parent))
PASS_ON(get_accChildCount, (IAccessible * face, LONG* count), (Standard(face), count))
PASS_ON(get_accChild, (IAccessible * face, VARIANT child, IDispatch** object), (Standard(face), child, object))
PASS_ON(get_accDescription, (IAccessible * face, VARIANT child, BSTR* text), (Standard(face), child, text))
PASS_ON(get_accHelp, (IAccessible * face, VARIANT child, BSTR* text), (Standard(face), child, text))
PASS_ON(get_accHelpTopic, (IAccessible * face, BSTR* file, VARIANT child, LONG* topic),
        (Standard(face), file, child, topic))
PASS_ON(get_accKeyboardShortcut, (IAccessible * face, VARIANT child, BSTR* text), (Standard(face), child, text))
PASS_ON(get_accFocus, (IAccessible * face, VARIANT* child), (Standard(face), child))
PASS_ON(get_accSelection, (IAccessible * face, VARIANT* children), (Standard(face), children))
PASS_ON(accSelect, (IAccessible * face, LONG flags, VARIANT child), (Standard(face), flags, child))
PASS_ON(accLocation, (IAccessible * face, LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child),
        (Standard(face), left, top, width, height, child))
PASS_ON(accNavigate, (IAccessible * face, LONG direction, VARIANT start, VARIANT* end),
        (Standard(face), direction, start, end))
PASS_ON(accHitTest, (IAccessible * face, LONG x, LONG y, VARIANT* child), (Standard(face), x, y, child))
PASS_ON(put_accName, (IAccessible * face, VARIANT child, BSTR name), (Standard(face), child, name))
PASS_ON(put_accValue, (IAccessible * face, VARIANT child, BSTR value), (Standard(face), child, value))
#undef PASS_ON

const IAccessibleVtbl kAccessibleTable = {
    QueryInterface,     AddRef,        Release,           GetTypeInfoCount,        GetTypeInfo,
    GetIDsOfNames,      Invoke,        get_accParent,     get_accChildCount,       get_accChild,
    GetName,            GetValue,      get_accDescription, GetRole,                GetState,
    get_accHelp,        get_accHelpTopic, get_accKeyboardShortcut, get_accFocus,   get_accSelection,
    GetDefaultAction,   accSelect,     accLocation,       accNavigate,             accHitTest,
    DoDefaultAction,    put_accName,   put_accValue,
};

bool joinedApartment; // the thread is in COM's single-threaded apartment, for the rest of the run

// The thread joins once: the tools' calls then arrive through the message loop.
bool JoinedApartment()
{
    if (!joinedApartment) {
        JoinApartment join = reinterpret_cast<JoinApartment>(SystemEntry("ole32.dll", "CoInitializeEx"));
        joinedApartment = join && SUCCEEDED(join(nullptr, COINIT_APARTMENTTHREADED));
    }
    return joinedApartment;
}

LRESULT AnswerClientArea(HWND control, WPARAM flags, const AccessibleTraits* traits)
{
    StandardObject standardObject =
        reinterpret_cast<StandardObject>(SystemEntry("oleacc.dll", "CreateStdAccessibleObject"));
    ResultFromObject resultFromObject =
        reinterpret_cast<ResultFromObject>(SystemEntry("oleacc.dll", "LresultFromObject"));
    if (!standardObject || !resultFromObject || !JoinedApartment())
        return 0;
    AccessibleControl* self = static_cast<AccessibleControl*>(calloc(1, sizeof(AccessibleControl)));
    if (!self)
        return 0;
    if (FAILED(standardObject(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&self->standard)))) {
        free(self);
        return 0;
    }
    self->face.lpVtbl = const_cast<IAccessibleVtbl*>(&kAccessibleTable);
    self->references = 1;
    self->control = control;
    self->traits = traits;
    LRESULT result = resultFromObject(IID_IAccessible, flags, reinterpret_cast<IUnknown*>(&self->face));
    Release(&self->face); // the marshalled reference keeps it for the tool
    return FAILED(result) ? 0 : result;
}

// Tools free the strings they are given with oleaut32's allocator.
AllocateString StringAllocator()
{
    return reinterpret_cast<AllocateString>(SystemEntry("oleaut32.dll", "SysAllocStringLen"));
}

} // namespace

LRESULT AnswerAccessibleObject(HWND control, WPARAM flags, LPARAM objectId, const AccessibleTraits* traits)
{
    LRESULT answer = 0;
    if (static_cast<DWORD>(objectId) == static_cast<DWORD>(OBJID_CLIENT))
        answer = AnswerClientArea(control, flags, traits);
    return answer ? answer : DefWindowProcA(control, WM_GETOBJECT, flags, objectId);
}

BSTR AccessibleText(const char* text, int length)
{
    AllocateString allocate = StringAllocator();
    if (!allocate)
        return nullptr;
    int wide = length > 0 ? MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0) : 0;
    BSTR string = allocate(nullptr, wide);
    if (string && wide > 0)
        MultiByteToWideChar(CP_ACP, 0, text, length, string, wide);
    return string;
}

BSTR AccessibleText(const wchar_t* text)
{
    AllocateString allocate = StringAllocator();
    return allocate ? allocate(text, lstrlenW(text)) : nullptr;
}

void AnnounceFocus(HWND control)
{
    NotifyWinEvent(EVENT_OBJECT_FOCUS, control, OBJID_CLIENT, CHILDID_SELF);
}
