// The OLE layer on the real clipboard and with a real drag: data sources, data objects,
// drop targets, and every reference given back.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Ole.h"
#include "framework/System.h"
#include "framework/Wnd.h"

namespace {
HGLOBAL Block(const std::string& bytes) { return AfxGlobalFromBytes(bytes.data(), bytes.size()); }

std::string ClipboardBytes(UINT format) {
    std::string bytes;
    AfxReadClipboardBytes(format, &bytes);
    return bytes;
}

// A target that records the events its window gets and answers with `answer`; one that
// throws when asked to.
class RecordingTarget : public COleDropTarget {
public:
    std::vector<std::string> events;
    DROPEFFECT answer = DROPEFFECT_COPY;
    bool throwOnEnter = false;

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint p) override {
        if (throwOnEnter) throw std::runtime_error("handler failed");
        events.push_back("enter " + Describe(data, keys, p));
        return answer;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint p) override {
        events.push_back("over " + Describe(data, keys, p));
        return answer;
    }
    void OnDragLeave(CWnd*) override { events.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint p) override {
        events.push_back("drop " + std::to_string(effect) + " " + Describe(data, 0, p));
        return TRUE;
    }

private:
    static std::string Describe(COleDataObject* data, DWORD keys, CPoint p) {
        std::string text;
        data->GetGlobalBytes(CF_TEXT, &text);
        return text.c_str() + std::string(" keys ") + std::to_string(keys) + " at " + std::to_string(p.x) + "," +
               std::to_string(p.y);
    }
};

// A shown top-level window at a known place on the screen.
struct TargetWindow : CWnd {
    TargetWindow() {
        AfxRegisterClassOnce(L"OleTestWindow", 0, nullptr);
        EXPECT_TRUE(CreateEx(0, L"OleTestWindow", L"target", WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 300), nullptr, 0));
        // On top of any window another program shows, so a drop lands here.
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ~TargetWindow() override { DestroyWindow(); }
};

// The thread's key state for one scope (the drag loop reads the buttons and Ctrl from it).
struct KeyState {
    explicit KeyState(bool ctrl) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_LBUTTON] = 0;  // released: the drag drops at once where the cursor is
        SetKeyboardState(keys);
    }
    ~KeyState() {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
};

class Ole : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AfxOleInit());
        baseline = OleLiveCounts::Objects();
    }
    void TearDown() override {
        OleSetClipboard(nullptr);
        EXPECT_EQ(OleLiveCounts::Objects(), baseline) << "a reference was not given back";
    }
    long baseline = 0;
};
}  // namespace

TEST_F(Ole, SourceOnTheClipboardIsReadInItsOrderAndFlushed) {
    CRefPtr<COleDataSource> source(new COleDataSource);
    const CLIPFORMAT custom = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"OleTestFormat"));
    source->CacheGlobalData(custom, Block("custom"));
    source->CacheGlobalData(CF_TEXT, Block("old"));
    source->CacheGlobalData(CF_TEXT, Block(std::string("text\0", 5)));  // replaces, keeps its place
    ASSERT_TRUE(source->SetClipboard());
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), source.get());
    COleDataSource* const onClipboard = source.get();
    source.reset();  // the clipboard holds its own reference
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), onClipboard);

    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    EXPECT_EQ(data.FormatOrder(), (std::vector<CLIPFORMAT>{custom, CF_TEXT}));
    EXPECT_TRUE(data.IsDataAvailable(CF_TEXT));
    EXPECT_FALSE(data.IsDataAvailable(CF_BITMAP));
    std::string bytes;
    ASSERT_TRUE(data.GetGlobalBytes(CF_TEXT, &bytes));
    EXPECT_EQ(bytes, std::string("text\0", 5));
    EXPECT_FALSE(data.GetGlobalBytes(CF_BITMAP, &bytes));
    data.Release();

    // Flushed, the text stays for other programs after the source has gone.
    COleDataSource::FlushClipboard();
    EXPECT_EQ(COleDataSource::GetClipboardOwner(), nullptr);
    EXPECT_EQ(ClipboardBytes(CF_TEXT).substr(0, 5), std::string("text\0", 5));
    EXPECT_EQ(OleLiveCounts::Objects(), baseline);
}

TEST_F(Ole, DelayedBlockIsMadeOnceWhenFirstAsked) {
    int renders = 0;
    CRefPtr<COleDataSource> source(new COleDataSource);
    source->CacheGlobalData(CF_TEXT, Block("abc"));
    source->DelayRenderGlobal(CF_OEMTEXT, [&renders](COleDataSource& s) {
        ++renders;
        EXPECT_NE(s.CachedGlobal(CF_TEXT), nullptr);
        return Block("made");
    });
    COleDataObject data;
    data.Attach(source.get(), FALSE);
    EXPECT_TRUE(data.IsDataAvailable(CF_OEMTEXT));
    EXPECT_EQ(renders, 0);
    std::string bytes;
    ASSERT_TRUE(data.GetGlobalBytes(CF_OEMTEXT, &bytes));
    ASSERT_TRUE(data.GetGlobalBytes(CF_OEMTEXT, &bytes));
    EXPECT_EQ(bytes.substr(0, 4), "made");
    EXPECT_EQ(renders, 1);
}

TEST_F(Ole, NoExceptionLeavesAComMethod) {
    CRefPtr<COleDataSource> source(new COleDataSource);
    source->DelayRenderGlobal(CF_TEXT, [](COleDataSource&) -> HGLOBAL { throw std::bad_alloc(); });
    FORMATETC request{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    EXPECT_EQ(source->GetData(&request, &medium), E_OUTOFMEMORY);

    TargetWindow window;
    CRefPtr<RecordingTarget> target(new RecordingTarget);
    ASSERT_TRUE(target->Register(&window));
    target->throwOnEnter = true;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(source.get(), 0, POINTL{150, 150}, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);
    target->Revoke();
}

TEST_F(Ole, RealDragDropsOnTheWindowUnderTheCursor) {
    TargetWindow window;
    CRefPtr<RecordingTarget> target(new RecordingTarget);
    ASSERT_TRUE(target->Register(&window));
    EXPECT_FALSE(target->Register(&window));  // one target per window
    EXPECT_GT(target->RefCount(), 1);         // OLE holds it now
    ASSERT_TRUE(SetCursorPos(130, 140));

    const struct {
        bool ctrl;
        DROPEFFECT answer;
        DROPEFFECT allowed;
        DROPEFFECT performed;
    } cases[] = {
        {true, DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {false, DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {false, DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_NONE},  // not what the source allows
        {false, DROPEFFECT_NONE, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ctrl " << c.ctrl << " answer " << c.answer << " allowed " << c.allowed);
        target->events.clear();
        target->answer = c.answer;
        CRefPtr<COleDataSource> source(new COleDataSource);
        source->CacheGlobalData(CF_TEXT, Block(std::string("dragged\0", 8)));
        KeyState keys(c.ctrl);
        EXPECT_EQ(source->DoDragDrop(c.allowed), c.performed);
        const std::string keyText = c.ctrl ? "8" : "0";
        ASSERT_FALSE(target->events.empty());
        EXPECT_EQ(target->events.front(), "enter dragged keys " + keyText + " at 30,40");
        if (c.performed != DROPEFFECT_NONE)
            EXPECT_EQ(target->events.back(), "drop " + std::to_string(c.performed) + " dragged keys 0 at 30,40");
        else
            EXPECT_EQ(target->events.back(), "leave");
    }
    target->Revoke();
    EXPECT_EQ(target->RefCount(), 1);  // only ours is left
}
