#include "framework/Ole.h"

#include <cstring>
#include <new>

#include "framework/Wnd.h"

namespace {
long g_liveObjects = 0;  // our COM objects alive (OleLiveCounts)

// The source this thread last put on the clipboard; cleared when that source goes.
thread_local COleDataSource* t_clipboardOwner = nullptr;

// Runs a COM method's body; no exception leaves it.
template <class F>
HRESULT Guarded(F body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

bool IsGlobalContentRequest(const FORMATETC* f) {
    return (f->tymed & TYMED_HGLOBAL) != 0 && f->dwAspect == DVASPECT_CONTENT;
}

FORMATETC GlobalContent(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// QueryInterface of an object that offers one interface besides IUnknown.
template <class Interface>
HRESULT QueryOne(Interface* self, REFIID own, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == own) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// A copy of a whole block, with the flags of a block meant for another program.
HGLOBAL CopyGlobal(HGLOBAL source) {
    const SIZE_T size = ::GlobalSize(source);
    const void* bytes = ::GlobalLock(source);
    if (!bytes) return nullptr;
    HGLOBAL copy = AfxGlobalFromBytes(bytes, size);
    ::GlobalUnlock(source);
    return copy;
}

// The whole of a block as bytes; FALSE when it cannot be read.
BOOL BlockBytes(HGLOBAL memory, std::string* bytes) {
    const char* p = static_cast<const char*>(::GlobalLock(memory));
    if (!p) return FALSE;
    BOOL ok = FALSE;
    try {
        bytes->assign(p, ::GlobalSize(memory));
        ok = TRUE;
    } catch (const std::bad_alloc&) {
    }
    ::GlobalUnlock(memory);
    return ok;
}

// Counts itself among the live objects for as long as it exists.
struct LiveObject {
    LiveObject() { ::InterlockedIncrement(&g_liveObjects); }
    ~LiveObject() { ::InterlockedDecrement(&g_liveObjects); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
};

// The list of formats a data source offers, handed out to whoever asks.
class CFormatEnum final : public IEnumFORMATETC {
public:
    explicit CFormatEnum(std::vector<FORMATETC> formats, size_t next = 0) : m_formats(std::move(formats)), m_next(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return QueryOne<IEnumFORMATETC>(this, IID_IEnumFORMATETC, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && m_next < m_formats.size(); ++n) out[n] = m_formats[m_next++];
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t left = m_formats.size() - m_next;
        m_next += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) override {
        if (!copy) return E_POINTER;
        *copy = nullptr;
        return Guarded([&] {
            *copy = new CFormatEnum(m_formats, m_next);
            return S_OK;
        });
    }

private:
    ~CFormatEnum() = default;

    LiveObject m_live;
    std::vector<FORMATETC> m_formats;  // what is offered, in order
    size_t m_next;                     // the next one Next hands out
    LONG m_refs = 1;                   // the creator's reference first
};

// Drops on the left button's release and gives up on Escape or a right press.
class CDropSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return QueryOne<IDropSource>(this, IID_IDropSource, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
        if (escapePressed || (keyState & MK_RBUTTON)) return DRAGDROP_S_CANCEL;
        return (keyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ~CDropSource() = default;

    LiveObject m_live;
    LONG m_refs = 1;  // the creator's reference first
};
}  // namespace

long OleLiveCounts::Objects() { return g_liveObjects; }

HGLOBAL AfxGlobalFromBytes(const void* bytes, size_t size, UINT flags) {
    HGLOBAL memory = ::GlobalAlloc(flags, size ? size : 1);
    if (!memory) return nullptr;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return nullptr;
    }
    if (size) std::memcpy(target, bytes, size);
    ::GlobalUnlock(memory);
    return memory;
}

BOOL AfxReadClipboardBytes(UINT format, std::string* bytes) {
    if (!::OpenClipboard(nullptr)) return FALSE;
    HANDLE memory = ::GetClipboardData(format);
    const BOOL ok = memory && BlockBytes(memory, bytes);
    ::CloseClipboard();
    return ok;
}

// ---- COleDataSource ----

COleDataSource::COleDataSource() { ::InterlockedIncrement(&g_liveObjects); }

COleDataSource::~COleDataSource() {
    if (t_clipboardOwner == this) t_clipboardOwner = nullptr;
    for (Entry& e : m_entries)
        if (e.memory) ::GlobalFree(e.memory);
    ::InterlockedDecrement(&g_liveObjects);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL memory) {
    for (Entry& e : m_entries) {
        if (e.format != format) continue;
        if (e.memory) ::GlobalFree(e.memory);
        e.memory = memory;
        e.render = nullptr;
        return;
    }
    try {
        m_entries.push_back({format, memory, nullptr});
    } catch (...) {
        ::GlobalFree(memory);  // the block was given to us: it must not leak
        throw;
    }
}

void COleDataSource::DelayRenderGlobal(CLIPFORMAT format, std::function<HGLOBAL(COleDataSource&)> render) {
    for (Entry& e : m_entries) {
        if (e.format != format) continue;
        if (e.memory) ::GlobalFree(e.memory);
        e.memory = nullptr;
        e.render = std::move(render);
        return;
    }
    m_entries.push_back({format, nullptr, std::move(render)});
}

HGLOBAL COleDataSource::CachedGlobal(CLIPFORMAT format) const {
    for (const Entry& e : m_entries)
        if (e.format == format) return e.memory;
    return nullptr;
}

std::vector<CLIPFORMAT> COleDataSource::Formats() const {
    std::vector<CLIPFORMAT> formats;
    for (const Entry& e : m_entries) formats.push_back(e.format);
    return formats;
}

BOOL COleDataSource::SetClipboard() {
    if (FAILED(::OleSetClipboard(this))) return FALSE;
    t_clipboardOwner = this;
    return TRUE;
}

DROPEFFECT COleDataSource::DoDragDrop(DROPEFFECT allowed) {
    CRefPtr<CDropSource> dropSource(new (std::nothrow) CDropSource);
    if (!dropSource) return DROPEFFECT_NONE;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(this, dropSource.get(), allowed, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

COleDataSource* COleDataSource::GetClipboardOwner() {
    if (t_clipboardOwner && ::OleIsCurrentClipboard(t_clipboardOwner) == S_OK) return t_clipboardOwner;
    return nullptr;
}

void COleDataSource::FlushClipboard() {
    if (GetClipboardOwner()) ::OleFlushClipboard();
}

COleDataSource::Entry* COleDataSource::Find(const FORMATETC* format) {
    if (!IsGlobalContentRequest(format)) return nullptr;
    for (Entry& e : m_entries)
        if (e.format == format->cfFormat) return &e;
    return nullptr;
}

HGLOBAL COleDataSource::Rendered(Entry& entry) {
    if (!entry.memory && entry.render) {
        // Rendered once; a failed rendering is tried again on the next request.
        entry.memory = entry.render(*this);
        if (entry.memory) entry.render = nullptr;
    }
    return entry.memory;
}

HRESULT COleDataSource::QueryInterface(REFIID iid, void** object) {
    return QueryOne<IDataObject>(this, IID_IDataObject, iid, object);
}

ULONG COleDataSource::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }

ULONG COleDataSource::Release() {
    const LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT COleDataSource::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
        Entry* entry = Find(format);
        if (!entry) return DV_E_FORMATETC;
        HGLOBAL block = Rendered(*entry);
        if (!block) return E_OUTOFMEMORY;
        HGLOBAL copy = CopyGlobal(block);
        if (!copy) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    });
}

HRESULT COleDataSource::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
        Entry* entry = Find(format);
        if (!entry || medium->tymed != TYMED_HGLOBAL || !medium->hGlobal) return DV_E_FORMATETC;
        HGLOBAL block = Rendered(*entry);
        if (!block) return E_OUTOFMEMORY;
        const SIZE_T size = ::GlobalSize(block);
        if (::GlobalSize(medium->hGlobal) < size) return STG_E_MEDIUMFULL;
        const void* from = ::GlobalLock(block);
        void* to = ::GlobalLock(medium->hGlobal);
        if (from && to) std::memcpy(to, from, size);
        if (to) ::GlobalUnlock(medium->hGlobal);
        if (from) ::GlobalUnlock(block);
        return from && to ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT COleDataSource::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    return Guarded([&]() -> HRESULT { return Find(format) ? S_OK : DV_E_FORMATETC; });
}

HRESULT COleDataSource::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
    if (!in || !out) return E_INVALIDARG;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleDataSource::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT COleDataSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return Guarded([&] {
        std::vector<FORMATETC> offered;
        for (const Entry& e : m_entries) offered.push_back(GlobalContent(e.format));
        *formats = new CFormatEnum(std::move(offered));
        return S_OK;
    });
}

HRESULT COleDataSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT COleDataSource::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT COleDataSource::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// ---- COleDataObject ----

BOOL COleDataObject::AttachClipboard() {
    Release();
    IDataObject* data = nullptr;
    if (FAILED(::OleGetClipboard(&data)) || !data) return FALSE;
    Attach(data, TRUE);
    return TRUE;
}

void COleDataObject::Attach(IDataObject* data, BOOL autoRelease) {
    Release();
    m_data = data;
    m_owned = data && autoRelease;
}

IDataObject* COleDataObject::Detach() {
    IDataObject* data = m_data;
    m_data = nullptr;
    m_owned = false;
    return data;
}

void COleDataObject::Release() {
    if (m_data && m_owned) m_data->Release();
    m_data = nullptr;
    m_owned = false;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    if (!m_data) return FALSE;
    FORMATETC request = GlobalContent(format);
    return m_data->QueryGetData(&request) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const {
    if (!m_data) return nullptr;
    FORMATETC request = GlobalContent(format);
    STGMEDIUM medium{};
    if (FAILED(m_data->GetData(&request, &medium))) return nullptr;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
        ::ReleaseStgMedium(&medium);
        return nullptr;
    }
    if (!medium.pUnkForRelease) return medium.hGlobal;  // the block is ours now
    // The block still belongs to the source: take a copy and give it back.
    HGLOBAL copy = CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return copy;
}

BOOL COleDataObject::GetGlobalBytes(CLIPFORMAT format, std::string* bytes) const {
    HGLOBAL memory = GetGlobalData(format);
    if (!memory) return FALSE;
    const BOOL ok = BlockBytes(memory, bytes);
    ::GlobalFree(memory);
    return ok;
}

std::vector<CLIPFORMAT> COleDataObject::FormatOrder() const {
    std::vector<CLIPFORMAT> order;
    IEnumFORMATETC* formats = nullptr;
    if (!m_data || FAILED(m_data->EnumFormatEtc(DATADIR_GET, &formats)) || !formats) return order;
    CRefPtr<IEnumFORMATETC> hold(formats);
    FORMATETC f;
    ULONG fetched = 0;
    while (formats->Next(1, &f, &fetched) == S_OK && fetched == 1) {
        if (f.ptd) ::CoTaskMemFree(f.ptd);
        order.push_back(f.cfFormat);
    }
    return order;
}

// ---- COleDropTarget ----

COleDropTarget::COleDropTarget() { ::InterlockedIncrement(&g_liveObjects); }

COleDropTarget::~COleDropTarget() {
    COleDropTarget::Revoke();
    ::InterlockedDecrement(&g_liveObjects);
}

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (m_hWnd || !wnd || !wnd->IsWindow()) return FALSE;
    if (FAILED(::RegisterDragDrop(wnd->m_hWnd, this))) return FALSE;
    m_wnd = wnd;
    m_hWnd = wnd->m_hWnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (!m_hWnd) return;
    m_dragData.Release();
    const HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    m_wnd = nullptr;
    ::RevokeDragDrop(hWnd);
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT COleDropTarget::OnDropEffect(CWnd*, DROPEFFECT performed) { return performed; }
DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

HRESULT COleDropTarget::QueryInterface(REFIID iid, void** object) {
    return QueryOne<IDropTarget>(this, IID_IDropTarget, iid, object);
}

ULONG COleDropTarget::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }

ULONG COleDropTarget::Release() {
    const LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

CPoint COleDropTarget::ClientPoint(POINTL screen) const {
    CPoint point(screen.x, screen.y);
    if (m_hWnd) ::ScreenToClient(m_hWnd, &point);
    return point;
}

// Each event holds a reference of its own while it runs: a handler may revoke the target,
// and the window's owner may let go of it, without the target vanishing under the call.

HRESULT COleDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    AddRef();
    CRefPtr<COleDropTarget> hold(this);
    return Guarded([&] {
        m_dragData.Release();
        if (!m_wnd || !data) return S_OK;
        data->AddRef();
        m_dragData.Attach(data, TRUE);
        *effect = OnDragEnter(m_wnd, &m_dragData, keyState, ClientPoint(point)) & (allowed | DROPEFFECT_SCROLL);
        return S_OK;
    });
}

HRESULT COleDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    AddRef();
    CRefPtr<COleDropTarget> hold(this);
    return Guarded([&] {
        if (!m_wnd || !m_dragData.GetIDataObject()) return S_OK;
        const CPoint client = ClientPoint(point);
        DROPEFFECT result = OnDragScroll(m_wnd, keyState, client);
        if (m_wnd && !(result & DROPEFFECT_SCROLL)) result = OnDragOver(m_wnd, &m_dragData, keyState, client);
        *effect = result & (allowed | DROPEFFECT_SCROLL);
        return S_OK;
    });
}

HRESULT COleDropTarget::DragLeave() {
    AddRef();
    CRefPtr<COleDropTarget> hold(this);
    return Guarded([&] {
        if (m_wnd) OnDragLeave(m_wnd);
        m_dragData.Release();
        return S_OK;
    });
}

HRESULT COleDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    AddRef();
    CRefPtr<COleDropTarget> hold(this);
    return Guarded([&] {
        // The drag ends here whatever happens: the data is read through a holder of this
        // call's own, which gives it back at the end.
        COleDataObject dropped;
        dropped.Attach(m_dragData.Detach(), TRUE);
        if (dropped.GetIDataObject() != data) {
            dropped.Release();
            if (data) data->AddRef();
            dropped.Attach(data, TRUE);
        }
        if (!m_wnd || !data) return S_OK;
        const CPoint client = ClientPoint(point);
        const DROPEFFECT chosen = OnDragOver(m_wnd, &dropped, keyState, client) & allowed;
        if (!m_wnd) return S_OK;
        if (chosen == DROPEFFECT_NONE) {
            OnDragLeave(m_wnd);
            return S_OK;
        }
        if (OnDrop(m_wnd, &dropped, chosen, client)) *effect = m_wnd ? OnDropEffect(m_wnd, chosen) : chosen;
        return S_OK;
    });
}
