#include "sysinfo/addon/GeneralInfoPageScript.h"

#include <string>
#include <vector>

#include "html/Node.h"
#include "html/Page.h"

namespace GeneralInfoPageScript {

namespace {

const wchar_t* const Panels[] = {L"info", L"info2", L"info3"};
const wchar_t* const Tabs[] = {L"Tab1", L"Tab2", L"Tab3"};

void Switch(Html::Page& page, const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 1) return;
    const std::wstring& chosen = arguments[0];
    if (chosen != L"1" && chosen != L"2" && chosen != L"3") return;
    size_t index = static_cast<size_t>(chosen[0] - L'1');
    for (size_t i = 0; i < 3; ++i) {
        if (Html::Node* panel = page.GetElementById(Panels[i])) panel->SetStyleDisplay(i == index ? L"block" : L"none");
        if (Html::Node* tab = page.GetElementById(Tabs[i])) tab->SetClassName(i == index ? L"tab selected" : L"tab");
    }
}

}  // namespace

void Register(Html::Page& page)
{
    Html::Page* target = &page;
    page.Scripts().Register(L"on_switch", [target](const std::vector<std::wstring>& arguments) { Switch(*target, arguments); });
}

}  // namespace GeneralInfoPageScript
