#pragma once

#include <windows.h>

#include "framework/CObject.h"
#include "framework/FrameworkApi.h"

class CWnd;

// A menu. The object destroys a menu it loaded, created or was attached to when it goes, with its
// sub-menus; the sub-menus GetSubMenu gives are temporary objects that destroy nothing.
class VTFRAMEWORK_API CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // A temporary object that lives until the message loop next goes idle and never destroys the
    // menu. Null for a null handle.
    static CMenu* FromHandle(HMENU menu);
    // Frees the temporary objects of this thread.
    static void DeleteTempMap();

    // FALSE when the handle is null or the object already holds one.
    BOOL Attach(HMENU menu);
    HMENU Detach();
    // From the current resource module, or the first module of the resource chain that has it.
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(LPCWSTR name);
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();

    // The pop-up at position, or null when that item opens none.
    CMenu* GetSubMenu(int position) const;
    // flags are MF_STRING, MF_SEPARATOR, MF_POPUP (id is then the sub-menu's handle), MF_GRAYED, ….
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr);
    // Each returns the item's previous state (MF_ENABLED/MF_GRAYED/MF_DISABLED or
    // MF_CHECKED/MF_UNCHECKED), or (UINT)-1 when there is no such item. flags add MF_BYCOMMAND
    // (the default) or MF_BYPOSITION.
    UINT EnableMenuItem(UINT item, UINT flags);
    UINT CheckMenuItem(UINT item, UINT flags);

    // Shows the menu as a pop-up at (x, y) in screen coordinates and tracks it; the chosen command
    // goes to window as WM_COMMAND. With TPM_RETURNCMD the result is the chosen command, 0 for none.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* window, LPCRECT rect = nullptr);
};
