#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CMenu.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "framework/tests/TestResourceModule.h"

namespace {

constexpr UINT IDR_CONTEXT = 2008;
constexpr UINT ID_SHOW_DETAILS = 32772;
constexpr UINT ID_END_PROCESS = 32774;

std::wstring ItemText(HMENU menu, UINT position)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

// The process manager's context menu as a resource of a module of its own.
class ContextMenuResources {
public:
    ContextMenuResources()
    {
        FrameworkTesting::MenuTemplate menu;
        menu.Popup(L"목록", true)
            .Item(ID_SHOW_DETAILS, L"정보보기")
            .Item(0, L"")
            .Item(ID_END_PROCESS, L"프로세스끝내기", true);
        resources_.Add(RT_MENU, IDR_CONTEXT, menu.Bytes());
        module = resources_.Load();
    }

    HINSTANCE module = nullptr;

private:
    FrameworkTesting::TestResourceModule resources_;
};

class ResourceHandleScope {
public:
    explicit ResourceHandleScope(HINSTANCE module) : previous_(AfxGetResourceHandle()) { AfxSetResourceHandle(module); }
    ~ResourceHandleScope() { AfxSetResourceHandle(previous_); }

private:
    HINSTANCE previous_;
};

TEST(MenuTest, LoadsFromTheCurrentResourceModuleAndDestroysWhatItLoaded)
{
    ContextMenuResources resources;
    ASSERT_NE(resources.module, nullptr);
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(IDR_CONTEXT));

    HMENU loaded = nullptr;
    HMENU popup = nullptr;
    {
        CMenu menu;
        {
            ResourceHandleScope scope(resources.module);
            ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT));
        }
        loaded = menu;
        CMenu* sub = menu.GetSubMenu(0);
        ASSERT_NE(sub, nullptr);
        popup = *sub;
        EXPECT_EQ(popup, GetSubMenu(loaded, 0));
        EXPECT_EQ(menu.GetSubMenu(0), sub);
        EXPECT_EQ(GetMenuItemCount(popup), 3);
        EXPECT_EQ(GetMenuItemID(popup, 0), ID_SHOW_DETAILS);
        EXPECT_EQ(ItemText(popup, 0), L"정보보기");
        EXPECT_EQ(ItemText(popup, 2), L"프로세스끝내기");
        EXPECT_EQ(menu.GetSubMenu(1), nullptr);

        CMenu::DeleteTempMap();
        EXPECT_TRUE(IsMenu(popup));
    }
    EXPECT_FALSE(IsMenu(loaded));
    EXPECT_FALSE(IsMenu(popup));
}

TEST(MenuTest, EnablingAndCheckingAnswerThePreviousState)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_FALSE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 1, L"환경 설정(&P)..."));
    EXPECT_TRUE(menu.AppendMenu(MF_SEPARATOR));
    EXPECT_TRUE(menu.AppendMenu(MF_STRING, 2, L"끝내기(&X)"));
    CMenu help;
    ASSERT_TRUE(help.CreatePopupMenu());
    help.AppendMenu(MF_STRING, 3, L"도움말 항목(&H)");
    HMENU helpHandle = help.Detach();
    EXPECT_TRUE(menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(helpHandle), L"도움말(&H)"));
    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(menu.GetSubMenu(3)->GetSafeHmenu(), helpHandle);

    EXPECT_EQ(menu.EnableMenuItem(2, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    EXPECT_NE(GetMenuState(menu, 2, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(menu.EnableMenuItem(2, MF_BYCOMMAND | MF_ENABLED), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(menu.CheckMenuItem(0, MF_BYPOSITION | MF_CHECKED), static_cast<UINT>(MF_UNCHECKED));
    EXPECT_NE(GetMenuState(menu, 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(menu.CheckMenuItem(1, MF_UNCHECKED), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(menu.EnableMenuItem(99, MF_GRAYED), static_cast<UINT>(-1));
    // Items of a sub-menu are found from the top by command.
    EXPECT_EQ(menu.EnableMenuItem(3, MF_GRAYED), static_cast<UINT>(MF_ENABLED));

    HMENU handle = menu;
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_FALSE(IsMenu(helpHandle));
    EXPECT_FALSE(menu.DestroyMenu());
}

class MenuOwner : public CWnd {
public:
    std::vector<UINT> commands;

protected:
    void OnShowDetails() { commands.push_back(ID_SHOW_DETAILS); }
    void OnEndProcess() { commands.push_back(ID_END_PROCESS); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MenuOwner, CWnd)
ON_COMMAND(ID_SHOW_DETAILS, OnShowDetails)
ON_COMMAND(ID_END_PROCESS, OnEndProcess)
END_MESSAGE_MAP()

// Ends a menu that is still open after two seconds, so that a test never hangs on it.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// Opens the pop-up and chooses an item with the keyboard, as a user would: down to the item, then
// Enter. The keys wait in the queue until the menu's own loop reads them.
BOOL TrackWithKeys(CMenu* popup, MenuOwner& owner, UINT flags, int downs)
{
    for (int i = 0; i < downs; ++i) owner.PostMessage(WM_KEYDOWN, VK_DOWN);
    owner.PostMessage(WM_KEYDOWN, VK_RETURN);
    UINT_PTR guard = SetTimer(nullptr, 0, 2000, &EndStuckMenu);
    BOOL result = popup->TrackPopupMenu(flags, 100, 100, &owner);
    KillTimer(nullptr, guard);
    return result;
}

void DispatchPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(MenuTest, TrackingAPopUpSendsTheChosenCommandToTheOwner)
{
    ContextMenuResources resources;
    ASSERT_NE(resources.module, nullptr);
    CMenu menu;
    {
        ResourceHandleScope scope(resources.module);
        ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT));
    }
    MenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"프로세스 관리", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));

    EXPECT_EQ(TrackWithKeys(menu.GetSubMenu(0), owner, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, 2),
              static_cast<BOOL>(ID_END_PROCESS));
    DispatchPending();
    EXPECT_TRUE(owner.commands.empty());

    EXPECT_TRUE(TrackWithKeys(menu.GetSubMenu(0), owner, TPM_LEFTALIGN | TPM_RIGHTBUTTON, 1));
    DispatchPending();
    EXPECT_EQ(owner.commands, (std::vector<UINT>{ID_SHOW_DETAILS}));


    EXPECT_FALSE(menu.GetSubMenu(0)->TrackPopupMenu(0, 0, 0, nullptr));
    EXPECT_FALSE(CMenu().TrackPopupMenu(0, 0, 0, &owner));
}

}  // namespace
