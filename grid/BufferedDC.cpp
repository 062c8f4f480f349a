#include "grid/BufferedDC.h"

CBufferedDC::CBufferedDC(CDC* target) : m_target(target) {
    m_hDC = target->GetSafeHdc();
    m_bPrinting = target->IsPrinting();
    if (m_bPrinting || target->GetClipBox(&m_clip) == ERROR || m_clip.IsRectEmpty()) return;

    auto memory = std::make_unique<CMemoryDC>(target->GetSafeHdc());
    if (!memory->GetSafeHdc() ||
        !m_bitmap.CreateCompatibleBitmap(target->GetSafeHdc(), m_clip.Width(), m_clip.Height()))
        return;
    m_oldBitmap = memory->SelectObject(m_bitmap.GetSafeHandle());
    memory->SetWindowOrg(m_clip.left, m_clip.top);
    memory->FillSolidRect(m_clip, target->GetBkColor());
    m_memory = std::move(memory);
    m_hDC = m_memory->GetSafeHdc();
}

CBufferedDC::~CBufferedDC() {
    if (!m_memory) return;
    m_target->BitBlt(m_clip.left, m_clip.top, m_clip.Width(), m_clip.Height(), m_memory->GetSafeHdc(), m_clip.left,
                     m_clip.top, SRCCOPY);
    m_memory->SelectObject(m_oldBitmap);
    // m_bitmap, then the memory context, go with the members.
}
