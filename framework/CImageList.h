#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CObject.h"
#include "framework/FrameworkApi.h"

class CBitmap;
class CDC;

// An image list. The object destroys a list it created or was attached to when it goes; a list
// handed to a control through the framework stays the object's (see CListCtrl::SetImageList).
class VTFRAMEWORK_API CImageList : public CObject {
public:
    CImageList() = default;
    ~CImageList() override;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // A temporary object for a list the framework does not own (the system's icon list, a control's
    // own list); it lives until the message loop next goes idle and never destroys the list.
    static CImageList* FromHandle(HIMAGELIST list);
    // Frees the temporary objects of this thread.
    static void DeleteTempMap();

    // flags are the ILC_… colour and mask flags.
    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    // FALSE when the handle is null or the object already holds one.
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int GetImageCount() const;
    // Each returns the index of the first added image, or -1. The bitmaps are copied: they stay the
    // caller's. With a mask colour, pixels of that colour become transparent.
    int Add(CBitmap* bitmap, CBitmap* mask);
    int Add(CBitmap* bitmap, COLORREF maskColor);
    int Add(HICON icon);
    BOOL GetImageInfo(int image, IMAGEINFO* info) const;
    // style is ILD_NORMAL, ILD_TRANSPARENT, ILD_BLEND50, … (an overlay with INDEXTOOVERLAYMASK).
    BOOL Draw(CDC* dc, int image, POINT point, UINT style);
};
