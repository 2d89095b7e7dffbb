#include "app/drop_target.h"

#include <ole2.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>

#include "app/drag_formats.h"
#include "app/foreign_names.h"
#include "app/launcher_record.h"
#include "app/ringwnd.h"
#include "app/shell_places.h"
#include "app/slotcmds.h"
#include "app/target_worker.h"
#include "base/system_library.h"
#include "ring/vbutton.h"

namespace {

typedef HRESULT(WINAPI* RegisterTarget)(HWND window, IDropTarget* target);
typedef HRESULT(WINAPI* RevokeTarget)(HWND window);
typedef void(WINAPI* ReleaseMedium)(STGMEDIUM* medium);
typedef HRESULT(WINAPI* NameOfItem)(LPCITEMIDLIST item, SIGDN form, wchar_t** name);
typedef void(WINAPI* FreeTaskMemory)(void* memory);

// What a drag carries that a slot can take, in the order it is looked for.
enum DragKind { DRAG_NONE, DRAG_FILES, DRAG_LINK, DRAG_SHELL_ITEM, DRAG_SEVERAL };

// The formats a drag is read in, registered when the ring first accepts drags.
struct DragFormats {
    CLIPFORMAT linkWide;   // "UniformResourceLocatorW": the link, UTF-16
    CLIPFORMAT link;       // "UniformResourceLocator": the link in the code page
    CLIPFORMAT mozillaUrl; // "text/x-moz-url": the link, a line break and its title, UTF-16
    CLIPFORMAT fileGroup;  // "FileGroupDescriptorW": a browser's title as "title.url"
    CLIPFORMAT shellItems; // "Shell IDList Array": the items, relative to a parent
};

// A drag read into copies of its own as it comes over the ring: all the
// ring needs to make a slot of it once the drag is over.
struct DragOffer {
    DragKind kind;        // what it carries; DRAG_NONE for nothing a slot can take
    LinkRule rule;        // a link's: taken, asked about or refused
    wchar_t* name;        // the file's path or the link; null for a shell item
    wchar_t* title;       // the link's title where the drag carries one
    unsigned char* items; // the shell item's list from the desktop
    size_t schemeLength;  // the link's letters before its colon
    int slot;             // the slot it was dropped on
};

// The one drag over the ring at a time, and the last drop until the ring takes it.
struct DragState {
    HWND ring;           // the registered ring window; null until drags are accepted
    DragOffer over;      // what the drag over the ring carries
    DragOffer dropped;   // dropped, not yet taken by the ring; kind DRAG_NONE for none
    bool taking;         // the ring is taking a drop (its boxes may be open): no other drop meanwhile
    HWND litButton;      // the sector lit under the pointer; null over none
    DragFormats formats; // registered once with the ring
};

// A tenth of a second lets the source finish its calls before the ring takes the drop.
const UINT kTakeDropMilliseconds = 100;

const DragOffer kNoOffer = {DRAG_NONE, LINK_NONE, nullptr, nullptr, nullptr, 0, -1};

DragState drag = {nullptr, kNoOffer, kNoOffer, false, nullptr, {}};

// The drop the ring takes, while a worker asks the shell and the file
// system about it: its item's name, its link's handler, its short name.
struct DropLookup {
    DragOffer offer;           // the drop; the worker's until done
    HWND ring;                 // told when the worker is done
    wchar_t handler[MAX_PATH]; // the program that opens the link's scheme; "" for none
    char* path;                // the name's slot forms (SetSlotPath); null when none could be made
    char16_t* whole;           // with path: the whole name where path is not the name itself
    volatile LONG done;        // 1 once the worker has set all the above
};

DropLookup lookup; // in use while drag.taking

void Forget(DragOffer* offer)
{
    free(offer->name);
    free(offer->title);
    free(offer->items);
    *offer = kNoOffer;
}

// A format's bytes, fetched whole.
struct FormatBytes {
    void* bytes; // a heap copy
    size_t size; // of the memory the source handed over
};
enum Fetched { FETCHED_NONE, FETCHED_UNREADABLE, FETCHED };

// The format's bytes in a heap copy (freed by the caller): FETCHED_NONE
// when the drag lacks it, FETCHED_UNREADABLE when its medium is not the
// memory asked for.
Fetched Fetch(IDataObject* data, CLIPFORMAT format, FormatBytes* out)
{
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    *out = {nullptr, 0};
    if (data->QueryGetData(&wanted) != S_OK || data->GetData(&wanted, &medium) != S_OK)
        return FETCHED_NONE;
    // A source may answer in another medium than asked for: only memory is read.
    const void* bytes = medium.tymed == TYMED_HGLOBAL ? GlobalLock(medium.hGlobal) : nullptr;
    if (bytes) {
        out->size = GlobalSize(medium.hGlobal);
        out->bytes = malloc(out->size ? out->size : 1);
        if (out->bytes)
            memcpy(out->bytes, bytes, out->size);
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseMedium release = reinterpret_cast<ReleaseMedium>(SystemEntry("ole32.dll", "ReleaseStgMedium"));
    if (release)
        release(&medium);
    return out->bytes ? FETCHED : FETCHED_UNREADABLE;
}

wchar_t* Wide(char16_t* text)
{
    return reinterpret_cast<wchar_t*>(text);
}

// A code-page text in UTF-16: exact, the code page's letters all have one.
wchar_t* WideOfNarrow(char* text)
{
    int length = text ? MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) : 0;
    wchar_t* wide = length > 0 ? static_cast<wchar_t*>(malloc(length * sizeof(wchar_t))) : nullptr;
    if (wide)
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length);
    free(text);
    return wide;
}

// The drag's file list: false for one that is not whole.
bool ReadFiles(IDataObject* data, DragOffer* offer)
{
    FormatBytes got;
    const Fetched fetched = Fetch(data, CF_HDROP, &got);
    DragFileList list = {0, nullptr, nullptr};
    const bool whole = fetched == FETCHED_NONE || (fetched == FETCHED && ReadDragFileList(got.bytes, got.size, &list));
    free(got.bytes);
    // An empty list is no drop: Wine gives one beside a link.
    offer->name = list.first ? Wide(list.first) : WideOfNarrow(list.firstNarrow);
    offer->kind = list.count > 1 ? DRAG_SEVERAL : offer->name ? DRAG_FILES : DRAG_NONE;
    return whole;
}

// The drag's text as a link, read in its first format of the UTF-16 ones,
// then the code page's; false for a format that is not whole.
bool ReadLink(IDataObject* data, DragOffer* offer)
{
    const DragFormats& f = drag.formats;
    const CLIPFORMAT formats[] = {f.linkWide, f.mozillaUrl, CF_UNICODETEXT, f.link, CF_TEXT};
    FormatBytes got = {nullptr, 0};
    Fetched fetched = FETCHED_NONE;
    size_t i = 0;
    for (; i < sizeof formats / sizeof formats[0] && fetched == FETCHED_NONE; ++i)
        fetched = Fetch(data, formats[i], &got);
    wchar_t* text = nullptr;
    if (fetched == FETCHED)
        text = i <= 3 ? Wide(DragWideText(got.bytes, got.size)) : WideOfNarrow(DragNarrowText(got.bytes, got.size));
    free(got.bytes);
    if (fetched == FETCHED_NONE)
        return true;
    if (!text)
        return false;
    // Firefox, and Wine for a link from a Linux browser: the link, then its title.
    wchar_t* end = formats[i - 1] == f.mozillaUrl ? wcspbrk(text, L"\r\n") : nullptr;
    if (end) {
        *end = L'\0';
        wchar_t* second = end + 1 + wcsspn(end + 1, L"\r\n");
        offer->title = second[0] ? _wcsdup(second) : nullptr;
    }
    const DragLink link = ReadDragLink(reinterpret_cast<const char16_t*>(text));
    offer->rule = link.rule;
    offer->schemeLength = link.schemeLength;
    // A file: URL takes the road of a dropped file.
    offer->kind = link.rule == LINK_NONE ? DRAG_NONE : link.path ? DRAG_FILES : DRAG_LINK;
    if (offer->kind != DRAG_LINK) {
        free(text);
        free(offer->title);
        offer->title = nullptr;
        offer->name = Wide(link.path);
        return true;
    }
    offer->name = text;
    // A browser names the link's shortcut after the page: "title.url".
    char16_t* title = nullptr;
    fetched = Fetch(data, f.fileGroup, &got);
    const bool whole = fetched == FETCHED_NONE || (fetched == FETCHED && ReadDragDescriptorTitle(got.bytes, got.size, &title));
    free(got.bytes);
    if (offer->title)
        free(title);
    else
        offer->title = Wide(title);
    return whole;
}

// The drag's shell items: false for an array that is not whole.
bool ReadShellItems(IDataObject* data, DragOffer* offer)
{
    FormatBytes got;
    const Fetched fetched = Fetch(data, drag.formats.shellItems, &got);
    DragShellItems items = {0, nullptr};
    const bool whole = fetched == FETCHED_NONE || (fetched == FETCHED && ReadDragShellItems(got.bytes, got.size, &items));
    free(got.bytes);
    offer->items = items.absolute;
    offer->kind = items.count > 1 ? DRAG_SEVERAL : items.absolute ? DRAG_SHELL_ITEM : DRAG_NONE;
    return whole;
}

// What the drag carries, read in copies: files, else a link, else a shell
// item. A drag with a format that is not whole offers nothing at all.
DragOffer ReadOffer(IDataObject* data)
{
    DragOffer offer = kNoOffer;
    bool whole = ReadFiles(data, &offer);
    if (whole && offer.kind == DRAG_NONE)
        whole = ReadLink(data, &offer);
    if (whole && offer.kind == DRAG_NONE)
        whole = ReadShellItems(data, &offer);
    if (!whole)
        Forget(&offer);
    return offer;
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
// the source offers that says so. A drag that cannot become a slot, or one
// that comes while the ring still takes the last drop, is not dropped.
DWORD EffectOver(POINTL point, DWORD offered)
{
    const bool takes = drag.over.kind != DRAG_NONE && drag.dropped.kind == DRAG_NONE && !drag.taking;
    LightButton(takes ? ButtonAt(point) : nullptr);
    if (!drag.litButton)
        return DROPEFFECT_NONE;
    const DWORD first = drag.over.kind == DRAG_FILES ? DROPEFFECT_COPY : DROPEFFECT_LINK;
    const DWORD second = first == DROPEFFECT_COPY ? DROPEFFECT_LINK : DROPEFFECT_COPY;
    return (offered & first) ? first : (offered & second);
}

void ShowDropBox(HWND ring, const wchar_t* text)
{
    MessageBoxW(ring, text, L"[Z]Rondel", MB_OK | MB_ICONINFORMATION);
}

// The link's scheme, cut at 32 letters.
void SchemeOf(const DragOffer& offer, wchar_t (&scheme)[33])
{
    lstrcpynW(scheme, offer.name, static_cast<int>(offer.schemeLength < 32 ? offer.schemeLength : 32) + 1);
}

// The program the scheme's links are opened by, by its name; false for a
// scheme that no program has registered.
bool HandlerOf(const wchar_t* scheme, wchar_t* name, DWORD length)
{
    return AskScheme(scheme, SCHEME_NAME, name, length);
}

// A link to be kept: refused with a box for a scheme that runs code, a file
// of another computer or a scheme no program opens; asked about for a
// scheme beyond the web's and mail's.
bool LinkIsAgreed(HWND ring, const DropLookup& found)
{
    const DragOffer& offer = found.offer;
    wchar_t scheme[33] = L"", text[512];
    SchemeOf(offer, scheme);
    if (offer.rule == LINK_REFUSED_SCRIPT) {
        wsprintfW(text, L"This link was not taken: a \"%s:\" link can run code on this computer.", scheme);
    } else if (offer.rule == LINK_REFUSED_REMOTE) {
        lstrcpyW(text, L"This link was not taken: it names a file that is not on this computer.");
    } else if (offer.rule == LINK_ASK && !found.handler[0]) {
        wsprintfW(text, L"This link was not taken: no program here opens \"%s:\" links.", scheme);
    } else if (offer.rule == LINK_ASK) {
        wsprintfW(text, L"Make this button open a \"%s:\" link with %.200s?", scheme, found.handler);
        return MessageBoxW(ring, text, L"[Z]Rondel", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
    } else {
        return true;
    }
    ShowDropBox(ring, text);
    return false;
}

// The shell item by its parsing name from the desktop, with its display
// name in *name; null when the shell names it not.
wchar_t* ShellItemName(const unsigned char* items, wchar_t** name)
{
    *name = nullptr;
    NameOfItem nameOf = reinterpret_cast<NameOfItem>(SystemEntry("shell32.dll", "SHGetNameFromIDList"));
    FreeTaskMemory release = reinterpret_cast<FreeTaskMemory>(SystemEntry("ole32.dll", "CoTaskMemFree"));
    LPCITEMIDLIST whole = reinterpret_cast<LPCITEMIDLIST>(items);
    wchar_t* text = nullptr;
    wchar_t* parsing = nullptr;
    if (nameOf && release && nameOf(whole, SIGDN_DESKTOPABSOLUTEPARSING, &text) == S_OK) {
        parsing = _wcsdup(text);
        release(text);
        if (nameOf(whole, SIGDN_NORMALDISPLAY, &text) == S_OK) {
            *name = _wcsdup(text);
            release(text);
        }
    }
    return parsing;
}

// On a worker: what the shell and the file system say of the drop, for
// the ring to place it with.
DWORD WINAPI LookUpDrop(void*)
{
    DragOffer& offer = lookup.offer;
    if (offer.kind == DRAG_SHELL_ITEM)
        offer.name = ShellItemName(offer.items, &offer.title);
    if (offer.kind == DRAG_LINK && offer.rule == LINK_ASK) {
        wchar_t scheme[33];
        SchemeOf(offer, scheme);
        if (!HandlerOf(scheme, lookup.handler, MAX_PATH))
            lookup.handler[0] = L'\0';
    }
    // Without memory the path stays null, and the drop is not kept.
    if (offer.kind != DRAG_SEVERAL && offer.name)
        SetSlotPath(&lookup.path, &lookup.whole, offer.name);
    InterlockedExchange(&lookup.done, 1);
    PostMessageA(lookup.ring, UM_DROPLOOKEDUP, 0, 0);
    return 0;
}

// The drop onto its slot: what it names, with its hint, after any box.
void PlaceOffer(HWND ring, DropLookup* found, VButtonState* button)
{
    DragOffer* offer = &found->offer;
    if (offer->kind == DRAG_SEVERAL) {
        ShowDropBox(ring, L"Drop one item at a time.");
        return;
    }
    if (offer->kind == DRAG_LINK && !LinkIsAgreed(ring, *found))
        return;
    // A link without a title is called after its host; a file after itself.
    if (offer->kind == DRAG_LINK && !offer->title)
        offer->title = Wide(DragLinkHost(reinterpret_cast<const char16_t*>(offer->name)));
    const wchar_t* hint = offer->kind == DRAG_FILES ? nullptr : offer->title ? offer->title : offer->name;
    if (offer->name)
        DropPlaceOnSlot(offer->name, found->path, found->whole, hint, button, &ringWindow.currentSlot);
    found->path = nullptr;
    found->whole = nullptr;
}

// The button of the slot a drop was made on; null for none.
VButtonState* ButtonOf(int slot)
{
    return slot >= 0 && slot < SLOT_COUNT ? VButtonStateOf(launcher.slots[slot].button) : nullptr;
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
        Forget(&drag.over);
        drag.over = ReadOffer(data);
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
        Forget(&drag.over);
        return S_OK;
    }
    // Keeps what was read and returns at once: the ring takes it
    // afterwards, so the source never waits on a box, a lookup or a save.
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL point, DWORD* effect) override
    {
        *effect = EffectOver(point, *effect);
        VButtonState* state = VButtonStateOf(drag.litButton);
        if (*effect != DROPEFFECT_NONE && state) {
            drag.dropped = drag.over;
            drag.dropped.slot = state->slot;
            drag.over = kNoOffer;
            SetTimer(drag.ring, kTakeDropTimer, kTakeDropMilliseconds, nullptr);
        }
        DragLeave();
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
    Forget(&drag.over);
    Forget(&drag.dropped);
}

void TakeDrop(HWND ring)
{
    // A timer message may come from anyone: only a drop kept here is taken.
    DragOffer offer = drag.dropped;
    drag.dropped = kNoOffer;
    if (offer.kind == DRAG_NONE || drag.taking || !ButtonOf(offer.slot)) {
        Forget(&offer);
        return;
    }
    drag.taking = true;
    lookup = {offer, ring, L"", nullptr, nullptr, 0};
    if (!RunInShellApartment(LookUpDrop, nullptr)) {
        Forget(&lookup.offer);
        drag.taking = false;
    }
}

void PlaceLookedUpDrop(HWND ring)
{
    // Any program may post the message: only a finished lookup is placed.
    if (!drag.taking || InterlockedCompareExchange(&lookup.done, 0, 1) != 1)
        return;
    VButtonState* button = ButtonOf(lookup.offer.slot);
    if (button)
        PlaceOffer(ring, &lookup, button);
    Forget(&lookup.offer);
    free(lookup.path);
    free(lookup.whole);
    lookup.path = nullptr;
    lookup.whole = nullptr;
    drag.taking = false;
}
