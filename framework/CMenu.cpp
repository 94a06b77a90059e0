#include "framework/CMenu.h"

#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "framework/TemporaryMap.h"

namespace {

using MenuTemporaries = AfxTemporaryMap<CMenu, HMENU, &CMenu::m_hMenu>;

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu)
{
    if (!menu) return nullptr;
    return AfxThreadTemporaryMap<MenuTemporaries>().Find(menu, [] { return new CMenu(); });
}

void CMenu::DeleteTempMap() { AfxThreadTemporaryMap<MenuTemporaries>().Clear(); }

BOOL CMenu::Attach(HMENU menu)
{
    if (!menu || m_hMenu) return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }

BOOL CMenu::LoadMenu(LPCWSTR name)
{
    if (m_hMenu) return FALSE;
    HINSTANCE module = AfxFindResourceHandle(name, RT_MENU);
    return module && Attach(::LoadMenuW(module, name));
}

BOOL CMenu::CreatePopupMenu() { return !m_hMenu && Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}

CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, LPCWSTR text) { return ::AppendMenuW(m_hMenu, flags, id, text); }

UINT CMenu::EnableMenuItem(UINT item, UINT flags)
{
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, item, flags));
}

UINT CMenu::CheckMenuItem(UINT item, UINT flags) { return static_cast<UINT>(::CheckMenuItem(m_hMenu, item, flags)); }

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* window, LPCRECT rect)
{
    if (!m_hMenu || !window || !window->GetSafeHwnd()) return FALSE;
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, window->GetSafeHwnd(), rect);
}
