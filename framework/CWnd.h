#pragma once

#include <windows.h>

#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/FrameworkApi.h"
#include "framework/MessageMap.h"

class CDC;
class CFont;
class CMenu;

// A window: the object behind an HWND. Windows created or subclassed through the framework route
// their messages through the class's message map; everything unhandled goes to the window's
// original procedure.
class VTFRAMEWORK_API CWnd : public CObject {
public:
    CWnd();
    // Destroys a window that still exists, so that no message reaches a deleted object.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a window created or subclassed through the framework, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // That object, or else a temporary one that lives until the message loop next goes idle.
    static CWnd* FromHandle(HWND hwnd);
    // Frees the temporary objects of this thread.
    static void DeleteTempMap();

    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Routes an existing window's messages through this object.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                          CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Message routing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A control's chance to handle its own notification (reflection) before its parent does.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called for each message of a message loop, from the window the message is for up through its
    // parents; TRUE means the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* message);
    static BOOL WalkPreTranslateTree(HWND stop, MSG* message);
    // Called after the window is gone; the object may delete itself here.
    virtual void PostNcDestroy();
    virtual void PreSubclassWindow();
    // The current message handed to the window's original procedure.
    LRESULT Default();

    // Relations.
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetTopLevelParent() const;

    // Position and size.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL IsIconic() const;
    BOOL IsZoomed() const;

    // State and appearance.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(LPCWSTR text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    // For a window with the layered style.
    BOOL SetLayeredWindowAttributes(COLORREF key, BYTE alpha, DWORD flags);
    // The window takes over the region: its CRgn no longer holds it.
    int SetWindowRgn(HRGN region, BOOL redraw);
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    void SetDlgItemText(int id, LPCWSTR text);
    int GetDlgItemText(int id, CString& text) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;

    // Timers, drawing, input.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    void SetRedraw(BOOL redraw = TRUE);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT update = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CDC* GetDC();
    int ReleaseDC(CDC* dc);
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetFocus();
    static CWnd* GetFocus();
    BOOL SetForegroundWindow();
    CWnd* SetActiveWindow();
    void BringWindowToTop();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Handlers with the classic signatures; each passes the message on to the original procedure.
    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT_PTR id);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnMove(int x, int y);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT character, UINT repeat, UINT flags);
    void OnSysCommand(UINT id, LPARAM lParam);
    LRESULT OnNcHitTest(CPoint point);
    void OnSetFocus(CWnd* oldWindow);
    void OnKillFocus(CWnd* newWindow);
    void OnShowWindow(BOOL show, UINT status);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT kind);
    void OnContextMenu(CWnd* window, CPoint point);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT draw);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure);
    void OnNcDestroy();

    // The procedure the window had before the framework took its messages.
    WNDPROC m_pfnSuper = nullptr;

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCreationHook(int, WPARAM, LPARAM);
    void AttachProcedure(HWND hwnd);
    void FinishDestruction();
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
    // The control a drawing or colour message of a parent is about, so it can handle it itself.
    HWND ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const;
};

// The framework's window procedure.
VTFRAMEWORK_API LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs create() with the next window created on this thread routed to window from its very first
// message; used by CreateEx and by dialog creation.
VTFRAMEWORK_API void AfxHookWindowCreate(CWnd* window);
VTFRAMEWORK_API BOOL AfxUnhookWindowCreate();
// The window class of plain framework windows.
VTFRAMEWORK_API LPCWSTR AfxGetDefaultWindowClass();
