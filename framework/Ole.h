// OLE data transfer: the clipboard and drag-and-drop, with data held as global memory.
//
// Classes in this file:
//   CRefPtr          holds one COM reference and releases it when the holder goes
//   COleDataSource   our IDataObject: one global memory block per format, offered in the
//                    order they were cached; put on the clipboard or dragged with our own
//                    IDropSource
//   COleDataObject   reads another IDataObject: the clipboard's or the one a drop brings
//   COleDropTarget   an IDropTarget registered for one window; forwards each event to a
//                    virtual handler with the point in the window's client coordinates
//   OleLiveCounts    how many of our COM objects are alive, so that a test can check that
//                    every reference was given back
//
// Every COM object here lives by its reference count: the creator holds the first reference
// and the last Release deletes it, so a drag that still holds a drop target after its window
// has gone never calls into freed memory.
//
// No COM method of ours lets an exception out: each catches at its boundary and answers
// with an error code. OLE must be initialised on the thread (AfxOleInit) before any of this
// is used.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Types.h"

class CWnd;

// DROPEFFECT_NONE, _COPY, _MOVE, _LINK and _SCROLL (oleidl.h), or-ed together.
typedef DWORD DROPEFFECT;

struct ReleaseRef {
    template <class T>
    void operator()(T* object) const {
        object->Release();
    }
};
// One reference to a COM object, given back when the holder goes.
template <class T>
using CRefPtr = std::unique_ptr<T, ReleaseRef>;

struct OleLiveCounts {
    // Data sources, format enumerators, drop sources and drop targets of ours not yet
    // released.
    static long Objects();
};

// A new global block holding `size` bytes copied from `bytes`; null when memory ran out.
HGLOBAL AfxGlobalFromBytes(const void* bytes, size_t size, UINT flags = GMEM_MOVEABLE | GMEM_DDESHARE);
// The whole block of `format` on the system clipboard (a delayed one is rendered); FALSE
// when the clipboard cannot be opened or holds no such block.
BOOL AfxReadClipboardBytes(UINT format, std::string* bytes);

class COleDataSource : public IDataObject {
public:
    // The creator holds the first reference (give it back with Release, or keep it in a
    // CRefPtr).
    COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes ownership of `memory` as the data of `format`; a block cached earlier for the
    // same format is freed and replaced (it keeps its place in the order).
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL memory);
    // Offers `format` but makes its block only when a reader first asks for it: `render`
    // returns a new block (or null when it cannot), which is then kept like a cached one.
    void DelayRenderGlobal(CLIPFORMAT format, std::function<HGLOBAL(COleDataSource&)> render);
    // The block held for `format` (still owned by the source), or null.
    HGLOBAL CachedGlobal(CLIPFORMAT format) const;
    // The formats offered, in order.
    std::vector<CLIPFORMAT> Formats() const;

    // Puts this source on the clipboard; the clipboard holds its own reference from then on.
    BOOL SetClipboard();
    // Runs a drag of this source with our drop source: left button released drops, Escape
    // or a right press cancels. The effect the target performed; DROPEFFECT_NONE when the
    // drag was cancelled or refused.
    DROPEFFECT DoDragDrop(DROPEFFECT allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);
    // The source of this thread that is on the clipboard now, or null.
    static COleDataSource* GetClipboardOwner();
    // Renders a source of this thread that owns the clipboard into it, so that the data
    // stays there after the source has gone.
    static void FlushClipboard();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDataObject: GetData hands out a copy of the block, which the reader frees.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;

protected:
    // Only Release deletes.
    virtual ~COleDataSource();

private:
    struct Entry {
        CLIPFORMAT format;
        HGLOBAL memory;                                   // owned; null until rendered
        std::function<HGLOBAL(COleDataSource&)> render;   // makes `memory` on first demand
    };
    // The entry for a request of global memory in `format` (content aspect), or null.
    Entry* Find(const FORMATETC* format);
    // Its block, rendered now if it was delayed; null when it cannot be had.
    HGLOBAL Rendered(Entry& entry);

    std::vector<Entry> m_entries;  // in the order offered
    LONG m_refs = 1;               // references held by anyone, the creator's included
};

class COleDataObject {
public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    // Reads the clipboard from now on; FALSE when it cannot be had.
    BOOL AttachClipboard();
    // Reads `data`; with `autoRelease` this object takes over one reference the caller held.
    void Attach(IDataObject* data, BOOL autoRelease = TRUE);
    // Stops reading without giving back the reference.
    IDataObject* Detach();
    // Stops reading and gives back the reference it held, if any.
    void Release();
    IDataObject* GetIDataObject() const { return m_data; }

    // Whether `format` can be had as global memory.
    BOOL IsDataAvailable(CLIPFORMAT format) const;
    // A block of `format` owned by the caller (free it with GlobalFree), or null.
    HGLOBAL GetGlobalData(CLIPFORMAT format) const;
    // The whole block of `format` as bytes; FALSE when there is none.
    BOOL GetGlobalBytes(CLIPFORMAT format, std::string* bytes) const;
    // The formats offered, in the source's order (empty when the source will not tell).
    std::vector<CLIPFORMAT> FormatOrder() const;

private:
    IDataObject* m_data = nullptr;  // what is read
    bool m_owned = false;           // holds a reference to m_data
};

class COleDropTarget : public IDropTarget {
public:
    // The creator holds the first reference.
    COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Makes this the drop target of `wnd`'s window; FALSE when OLE refuses (or the window
    // has a target already).
    virtual BOOL Register(CWnd* wnd);
    // Ends the registration and forgets the window; to be done before the window is
    // destroyed. Events that still arrive are refused.
    virtual void Revoke();
    BOOL IsRegistered() const { return m_hWnd != nullptr; }
    // References held on this target, the creator's included.
    LONG RefCount() const { return m_refs; }

    // Handlers: points are in `wnd`'s client coordinates, key states are MK_ flags. The
    // defaults refuse every drop.
    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual void OnDragLeave(CWnd* wnd);
    virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);
    // After a drop OnDrop took: the effect the source is told. A target that could not
    // take all of the data answers a copy instead of a move, so the source keeps it.
    virtual DROPEFFECT OnDropEffect(CWnd* wnd, DROPEFFECT performed);
    // Asked before each OnDragOver: an answer with DROPEFFECT_SCROLL is taken as it is (the
    // window scrolled) and OnDragOver is skipped; any other answer lets OnDragOver decide.
    virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget. Drop asks OnDragOver for the effect at the drop point first (the system
    // may drop without a last DragOver); only an effect the source allows is performed.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

protected:
    // Only Release deletes; a registration still in place is revoked.
    virtual ~COleDropTarget();
    CWnd* GetWnd() const { return m_wnd; }

private:
    CPoint ClientPoint(POINTL screen) const;

    CWnd* m_wnd = nullptr;       // the window served (not owned); null when not registered
    HWND m_hWnd = nullptr;       // its handle while registered
    COleDataObject m_dragData;   // the data of the drag over the window, enter to leave/drop
    LONG m_refs = 1;             // references held, the creator's included
};
