#include "shell/CDHtmlDialogEx.h"

#include <new>
#include <string>
#include <vector>

#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "framework/CException.h"
#include "html/Node.h"
#include "html/Page.h"
#include "shell/PageScriptContract.h"

namespace {

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsBrowserFunctionKey(WPARAM key)
{
    if (key == VK_ESCAPE || key == VK_HELP || key == VK_F1 || key == VK_F2) return true;
    return key >= VK_F4 && key <= VK_F12;
}

bool IsKeyDown(int key)
{
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// New window, print, favourites, select all; back and forward.
bool IsBrowserShortcut(WPARAM key)
{
    if ((key == 'N' || key == 'P' || key == 'D' || key == 'A') && IsKeyDown(VK_CONTROL)) return true;
    return (key == VK_LEFT || key == VK_RIGHT) && IsKeyDown(VK_MENU);
}

}  // namespace

CDHtmlDialogEx::CDHtmlDialogEx(UINT templateId, UINT htmlResourceId, CWnd* parent)
    : CDHtmlDialog(templateId, htmlResourceId, parent)
{
}

BOOL CDHtmlDialogEx::PreTranslateMessage(MSG* message)
{
    // Only key messages: other messages carry unrelated values in wParam (timer ids, private
    // message arguments) that must not be mistaken for a shortcut while Ctrl or Alt is held.
    if (IsKeyMessage(message->message) && (IsBrowserFunctionKey(message->wParam) || IsBrowserShortcut(message->wParam))) {
        return TRUE;
    }
    return CDHtmlDialog::PreTranslateMessage(message);
}

HRESULT CDHtmlDialogEx::OnSelectStart(Html::Node* element)
{
    if (!element) return S_FALSE;
    if (element->IsTextEdit()) return S_OK;
    std::wstring className = element->ClassName();
    if ((className == L"header" || className == L"title") && m_hWnd) {
        DWORD position = GetMessagePos();
        if (!::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(LOWORD(position), HIWORD(position)))) {
            System::Diagnostics::Trace::WriteLine(
                System::String::Format(L"OnSelectStart: the caption drag could not be posted (error %lu)", GetLastError()));
        }
    }
    return S_FALSE;
}

HRESULT CDHtmlDialogEx::OnDragStart(Html::Node* element)
{
    return CDHtmlDialogEx::OnSelectStart(element);
}

BOOL CDHtmlDialogEx::CallScript(const CString& function, const CStringArray& arguments)
{
    Html::Page* page = GetPage();
    if (!page || !IsDocumentLoaded()) return FALSE;
    std::vector<std::wstring> texts;
    try {
        texts.reserve(static_cast<size_t>(arguments.GetSize()));
        for (INT_PTR i = 0; i < arguments.GetSize(); ++i) {
            const CString& text = arguments[i];
            texts.emplace_back(text.GetString(), static_cast<size_t>(text.GetLength()));
        }
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    bool called = false;
    bool completed = System::TraceExceptions([&] { called = page->CallScript(function.GetString(), texts); });
    return completed && called ? TRUE : FALSE;
}

BOOL CDHtmlDialogEx::CallScript(const CString& function, const CString& argument)
{
    CStringArray arguments;
    arguments.Add(argument);
    return CallScript(function, arguments);
}

BOOL CDHtmlDialogEx::CallScript(const CString& function, const CString& first, const CString& second)
{
    CStringArray arguments;
    arguments.Add(first);
    arguments.Add(second);
    return CallScript(function, arguments);
}

void CDHtmlDialogEx::OnRegisterPageScripts()
{
    CDHtmlDialog::OnRegisterPageScripts();
    if (Html::Page* page = GetPage()) Shell::RegisterPageScriptContract(*page);
}
