#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"
#include "framework/FrameworkApi.h"

// Registers the common control classes (list, header, tree) once per process; FALSE when the
// system refuses. The controls' Create calls it.
VTFRAMEWORK_API BOOL AfxInitCommonControls();

class VTFRAMEWORK_API CStatic : public CWnd {
public:
    virtual BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
    // Each returns the previous image. The static control does not destroy the images it shows:
    // they stay the caller's and must outlive their use.
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};

class VTFRAMEWORK_API CEdit : public CWnd {
public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // end -1 selects to the end of the text; start -1 removes the selection.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE);
    // 0 sets the system's maximum.
    void LimitText(int maximum = 0);
    BOOL SetReadOnly(BOOL readOnly = TRUE);
};

class VTFRAMEWORK_API CButton : public CWnd {
public:
    virtual BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int check);
};

class VTFRAMEWORK_API CHeaderCtrl : public CWnd {
public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetItemCount() const;
    // item->mask says which fields to read or write.
    BOOL GetItem(int index, HDITEMW* item) const;
    BOOL SetItem(int index, HDITEMW* item);
    BOOL GetItemRect(int index, LPRECT rect) const;

    // Draws an item with the HDF_OWNERDRAW format when the parent hands WM_DRAWITEM back to the
    // header; derived classes override it.
    virtual void DrawItem(LPDRAWITEMSTRUCT draw);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
