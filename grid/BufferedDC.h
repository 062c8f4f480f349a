// CBufferedDC: an off-screen surface for one paint. Drawing goes into a bitmap the size of
// the target's clip box; when the object goes, the bitmap is copied to the target at the
// same place. The memory context's window origin is the clip box's top-left corner, so the
// drawing code uses the target's coordinates unchanged.
//
// A printing target is drawn on directly (a printer has no use for a screen bitmap), and so
// is a target whose clip box or buffer cannot be had: the paint still happens, unbuffered.
#pragma once

#include <memory>

#include "framework/Gdi.h"

class CBufferedDC : public CDC {
public:
    explicit CBufferedDC(CDC* target);
    // Copies the buffer to the target, puts the old bitmap back and frees the buffer.
    ~CBufferedDC() override;
    CBufferedDC(const CBufferedDC&) = delete;
    CBufferedDC& operator=(const CBufferedDC&) = delete;

    // Drawing goes to the off-screen bitmap (FALSE: straight to the target).
    BOOL IsBuffered() const { return m_memory != nullptr; }
    const CRect& ClipRect() const { return m_clip; }

private:
    CDC* m_target;                         // the surface being painted
    CRect m_clip;                          // the target's clip box, in its logical units
    std::unique_ptr<CMemoryDC> m_memory;   // compatible with the target; none when direct
    CBitmap m_bitmap;                      // the clip box's size, selected into m_memory
    HGDIOBJ m_oldBitmap = nullptr;         // what m_memory held before m_bitmap
};
