#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "core/String.h"
#include "framework/CDHtmlDialog.h"
#include "html/Node.h"
#include "html/Page.h"

// Header only, like MessagePump.h: the test support library itself does not link the window framework.
namespace TestSupport {

// Presses and releases the left button over the middle of the page element, as the user would.
inline void ClickElement(CDHtmlDialog& dialog, const wchar_t* id)
{
    dialog.GetPage()->Update();
    Html::Node* element = dialog.GetElement(id);
    ASSERT_NE(element, nullptr) << System::String(id).ToUtf8();
    Html::Rect box = element->Box().border;
    LPARAM at = MAKELPARAM(box.x + box.width / 2, box.y + box.height / 2);
    dialog.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dialog.SendMessage(WM_LBUTTONUP, 0, at);
}

}  // namespace TestSupport
