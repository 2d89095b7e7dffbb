#include "app/drop_target.h"

#include <ole2.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "app/launcher_record.h"
#include "app/ringwnd.h"
#include "app/shell_places.h"
#include "app/slotcmds.h"
#include "base/system_library.h"
#include "base/target_kind.h"
#include "ring/vbutton.h"

namespace {

typedef HRESULT(WINAPI* RegisterTarget)(HWND window, IDropTarget* target);
typedef HRESULT(WINAPI* RevokeTarget)(HWND window);
typedef void(WINAPI* ReleaseMedium)(STGMEDIUM* medium);
typedef HRESULT(WINAPI* NameOfItem)(LPCITEMIDLIST item, SIGDN form, wchar_t** name);
typedef void(WINAPI* FreeTaskMemory)(void* memory);

// What a drag carries that a slot can take, in the order it is looked for.
enum DragKind { DRAG_NONE, DRAG_FILES, DRAG_LINK, DRAG_SHELL_ITEM };

// The formats a drag is read in, registered when the ring first accepts drags.
struct DragFormats {
    CLIPFORMAT linkWide;   // "UniformResourceLocatorW": the link, UTF-16
    CLIPFORMAT link;       // "UniformResourceLocator": the link in the code page
    CLIPFORMAT mozillaUrl; // "text/x-moz-url": the link, a line break and its title, UTF-16
    CLIPFORMAT fileGroup;  // "FileGroupDescriptorW": a browser's title as "title.url"
    CLIPFORMAT shellItems; // "Shell IDList Array": the items, relative to a parent
};

// The one drag over the ring at a time.
struct DragState {
    HWND ring;           // the registered ring window; null until drags are accepted
    DragKind kind;       // what the drag over the ring carries
    HWND litButton;      // the sector lit under the pointer; null over none
    DragFormats formats; // registered once with the ring
};

DragState drag = {nullptr, DRAG_NONE, nullptr, {}};

bool Offers(IDataObject* data, CLIPFORMAT format)
{
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&wanted) == S_OK;
}

// The format's bytes in a heap copy with two zero bytes more, so that a
// text that lacks its end has one; null when the drag lacks the format.
char* FormatBytes(IDataObject* data, CLIPFORMAT format, SIZE_T* size = nullptr)
{
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->GetData(&wanted, &medium) != S_OK)
        return nullptr;
    char* copy = nullptr;
    const void* bytes = GlobalLock(medium.hGlobal);
    if (bytes) {
        const SIZE_T length = GlobalSize(medium.hGlobal);
        copy = static_cast<char*>(calloc(length + sizeof(wchar_t), 1));
        if (copy)
            memcpy(copy, bytes, length);
        if (size)
            *size = length;
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseMedium release = reinterpret_cast<ReleaseMedium>(SystemEntry("ole32.dll", "ReleaseStgMedium"));
    if (release)
        release(&medium);
    return copy;
}

// The drag's file list, copied for the ring's own handling of a dropped
// file list, which finishes (frees) it; null when it names no file.
HDROP FileListOf(IDataObject* data)
{
    SIZE_T size = 0;
    char* bytes = FormatBytes(data, CF_HDROP, &size);
    HGLOBAL list = bytes ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    void* target = list ? GlobalLock(list) : nullptr;
    if (target) {
        memcpy(target, bytes, size);
        GlobalUnlock(list);
    }
    free(bytes);
    // An empty list is no drop: Wine gives one beside a link, and counts it
    // as one file without a name.
    if (list && DragQueryFileW(static_cast<HDROP>(list), 0, nullptr, 0) == 0) {
        GlobalFree(list);
        return nullptr;
    }
    return static_cast<HDROP>(list);
}

bool OffersFiles(IDataObject* data)
{
    HDROP list = Offers(data, CF_HDROP) ? FileListOf(data) : nullptr;
    GlobalFree(list);
    return list != nullptr;
}

// A text of one line that is a link: what a browser's address bar drags.
bool IsSingleLink(const wchar_t* text)
{
    if (!text || wcspbrk(text, L" \t\r\n"))
        return false;
    char ansi[32] = "";
    // The scheme decides, and it stands in the first letters.
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(wcsnlen(text, 31)), ansi, 31, nullptr, nullptr);
    return ansi[0] && KindOfTarget(ansi) == TARGET_LINK;
}

// The link of the drag, a heap copy in UTF-16 with its title where the drag
// has one (null otherwise, in *title, also a heap copy).
wchar_t* LinkOf(IDataObject* data, wchar_t** title)
{
    *title = nullptr;
    wchar_t* link = reinterpret_cast<wchar_t*>(FormatBytes(data, drag.formats.linkWide));
    if (!link) {
        char* ansi = FormatBytes(data, drag.formats.link);
        if (!ansi)
            ansi = FormatBytes(data, CF_TEXT);
        int length = ansi ? MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0) : 0;
        link = length > 0 ? static_cast<wchar_t*>(malloc(length * sizeof(wchar_t))) : nullptr;
        if (link)
            MultiByteToWideChar(CP_ACP, 0, ansi, -1, link, length);
        free(ansi);
    }
    if (!link) {
        // Firefox, and Wine for a link from a Linux browser: the link, then its title.
        link = reinterpret_cast<wchar_t*>(FormatBytes(data, drag.formats.mozillaUrl));
        wchar_t* end = link ? wcspbrk(link, L"\r\n") : nullptr;
        if (end) {
            *end = L'\0';
            wchar_t* second = end + 1 + wcsspn(end + 1, L"\r\n");
            *title = second[0] ? _wcsdup(second) : nullptr;
        }
    }
    if (!link)
        link = reinterpret_cast<wchar_t*>(FormatBytes(data, CF_UNICODETEXT));
    if (!IsSingleLink(link)) {
        free(link);
        free(*title);
        *title = nullptr;
        return nullptr;
    }
    // A browser names the link's shortcut after the page: "title.url".
    FILEGROUPDESCRIPTORW* group = reinterpret_cast<FILEGROUPDESCRIPTORW*>(FormatBytes(data, drag.formats.fileGroup));
    if (!*title && group && group->cItems > 0) {
        wchar_t* name = group->fgd[0].cFileName;
        size_t length = wcsnlen(name, MAX_PATH - 1);
        name[length] = L'\0';
        if (length > 4 && _wcsicmp(name + length - 4, L".url") == 0)
            name[length - 4] = L'\0';
        *title = name[0] ? _wcsdup(name) : nullptr;
    }
    free(group);
    return link;
}

// What a link without a title is called: its host, or what follows the scheme.
wchar_t* HostOf(const wchar_t* link)
{
    const wchar_t* start = wcschr(link, L':') + 1;
    if (start[0] == L'/' && start[1] == L'/')
        start += 2;
    wchar_t* host = _wcsdup(start);
    // A link that is nothing but a path keeps it whole.
    const size_t end = host ? wcscspn(host, L"/?#") : 0;
    if (end > 0)
        host[end] = L'\0';
    return host;
}

// The one shell item of the drag, by its parsing name from the desktop,
// with its display name in *name; null for none or for more than one.
wchar_t* ShellItemOf(IDataObject* data, wchar_t** name)
{
    *name = nullptr;
    NameOfItem nameOf = reinterpret_cast<NameOfItem>(SystemEntry("shell32.dll", "SHGetNameFromIDList"));
    FreeTaskMemory release = reinterpret_cast<FreeTaskMemory>(SystemEntry("ole32.dll", "CoTaskMemFree"));
    CIDA* items = reinterpret_cast<CIDA*>(FormatBytes(data, drag.formats.shellItems));
    wchar_t* parsing = nullptr;
    if (nameOf && release && items && items->cidl == 1) {
        const BYTE* base = reinterpret_cast<const BYTE*>(items);
        LPITEMIDLIST whole = ILCombine(reinterpret_cast<LPCITEMIDLIST>(base + items->aoffset[0]),
                                       reinterpret_cast<LPCITEMIDLIST>(base + items->aoffset[1]));
        wchar_t* text = nullptr;
        if (whole && nameOf(whole, SIGDN_DESKTOPABSOLUTEPARSING, &text) == S_OK) {
            parsing = _wcsdup(text);
            release(text);
            if (nameOf(whole, SIGDN_NORMALDISPLAY, &text) == S_OK) {
                *name = _wcsdup(text);
                release(text);
            }
        }
        ILFree(whole);
    }
    free(items);
    return parsing;
}

DragKind KindOfDrag(IDataObject* data)
{
    if (OffersFiles(data))
        return DRAG_FILES;
    const DragFormats& f = drag.formats;
    if (Offers(data, f.linkWide) || Offers(data, f.link) || Offers(data, f.mozillaUrl) ||
        Offers(data, CF_UNICODETEXT) || Offers(data, CF_TEXT))
        return DRAG_LINK;
    return Offers(data, f.shellItems) ? DRAG_SHELL_ITEM : DRAG_NONE;
}

// The button whose sector is under the screen point, or null.
HWND ButtonAt(POINTL point)
{
    for (int i = 0; i < SLOT_COUNT; ++i) {
        VButtonState* state = VButtonStateOf(launcher.slots[i].button);
        POINT inButton = {point.x, point.y};
        if (state && ScreenToClient(state->window, &inButton) &&
            SectorHitTest(&state->sector, inButton.x, inButton.y))
            return state->window;
    }
    return nullptr;
}

void LightButton(HWND button)
{
    if (button == drag.litButton)
        return;
    SetVButtonHovered(drag.litButton, false);
    drag.litButton = button;
    SetVButtonHovered(button, true);
}

// Files are copied into the slot, links and places linked to: the effect
// the source offers that says so.
DWORD EffectOver(POINTL point, DWORD offered)
{
    LightButton(drag.kind != DRAG_NONE ? ButtonAt(point) : nullptr);
    if (!drag.litButton)
        return DROPEFFECT_NONE;
    const DWORD first = drag.kind == DRAG_FILES ? DROPEFFECT_COPY : DROPEFFECT_LINK;
    const DWORD second = first == DROPEFFECT_COPY ? DROPEFFECT_LINK : DROPEFFECT_COPY;
    return (offered & first) ? first : (offered & second);
}

// A link or a shell item onto the button: what it names, with its hint.
void DropPlace(IDataObject* data, DragKind kind, VButtonState* button)
{
    wchar_t* hint = nullptr;
    wchar_t* place = kind == DRAG_LINK ? LinkOf(data, &hint) : ShellItemOf(data, &hint);
    if (place && !hint)
        hint = HostOf(place);
    if (place)
        DropPlaceOnSlot(place, hint ? hint : place, button, &ringWindow.currentSlot);
    free(place);
    free(hint);
}

// The ring's drop target: one for the whole run, never freed.
class RingDropTarget : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        *object = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) override
    {
        // A sector that held the pointer before the drag came lets it go:
        // the drag has the pointer now.
        HWND holder = GetCapture();
        if (holder && GetParent(holder) == drag.ring)
            ReleaseCapture();
        drag.kind = KindOfDrag(data);
        *effect = EffectOver(point, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override
    {
        *effect = EffectOver(point, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        LightButton(nullptr);
        drag.kind = DRAG_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override
    {
        *effect = EffectOver(point, *effect);
        HWND button = drag.litButton;
        const DragKind kind = drag.kind;
        DragLeave();
        VButtonState* state = VButtonStateOf(button);
        HDROP files = state && kind == DRAG_FILES ? FileListOf(data) : nullptr;
        // Files take the very road of a dropped file list.
        if (files)
            SendMessageA(drag.ring, WM_DROPFILES, reinterpret_cast<WPARAM>(files), reinterpret_cast<LPARAM>(state));
        else if (state && kind != DRAG_FILES && kind != DRAG_NONE)
            DropPlace(data, kind, state);
        return S_OK;
    }
};

RingDropTarget dropTarget;

} // namespace

bool AcceptDrags(HWND ring)
{
    RegisterTarget accept = reinterpret_cast<RegisterTarget>(SystemEntry("ole32.dll", "RegisterDragDrop"));
    if (!accept || !JoinOle())
        return false;
    drag.formats = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocatorW")),
                    static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator")),
                    static_cast<CLIPFORMAT>(RegisterClipboardFormatA("text/x-moz-url")),
                    static_cast<CLIPFORMAT>(RegisterClipboardFormatA("FileGroupDescriptorW")),
                    static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"))};
    drag.ring = ring;
    return accept(ring, &dropTarget) == S_OK;
}

void RefuseDrags(HWND ring)
{
    RevokeTarget refuse = reinterpret_cast<RevokeTarget>(SystemEntry("ole32.dll", "RevokeDragDrop"));
    if (drag.ring == ring && refuse)
        refuse(ring);
    drag.ring = nullptr;
}
