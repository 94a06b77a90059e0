#include "shell/PageScriptContract.h"

#include <utility>
#include <vector>

#include "html/Node.h"
#include "html/Page.h"

namespace Shell {

namespace {

using Arguments = std::vector<std::wstring>;

// A disabled button's id starts with this, so lookups by its real id miss it.
const wchar_t kDisabledPrefix = L'_';

bool IsDisabledId(const std::wstring& id)
{
    return !id.empty() && id[0] == kDisabledPrefix;
}

// A page may call with too few arguments; that is a call naming no element.
Html::Node* ElementOfFirstArgument(Html::Page& page, const Arguments& arguments, const std::wstring& prefix = {})
{
    if (arguments.empty()) return nullptr;
    return page.GetElementById(prefix + arguments[0]);
}

void ShowImage(Html::Node& button, ButtonImage state)
{
    // Without a class the button has no image set; a made-up path would only show a broken image.
    std::wstring className = button.ClassName();
    if (className.empty()) return;
    button.SetAttribute(L"src", ButtonImagePath(className, state));
}

void EnableButton(Html::Page& page, const Arguments& arguments)
{
    Html::Node* button = ElementOfFirstArgument(page, arguments, std::wstring(1, kDisabledPrefix));
    if (!button) return;
    button->SetId(arguments[0]);
    ShowImage(*button, ButtonImage::Normal);
}

void DisableButton(Html::Page& page, const Arguments& arguments)
{
    Html::Node* button = ElementOfFirstArgument(page, arguments);
    if (!button) return;
    button->SetId(kDisabledPrefix + arguments[0]);
    ShowImage(*button, ButtonImage::Disabled);
}

// Pages pass this.id, which for a disabled button is its "_" id: such a button keeps its
// disabled image whatever the mouse does.
void ShowButtonState(Html::Page& page, const Arguments& arguments, ButtonImage state)
{
    Html::Node* button = ElementOfFirstArgument(page, arguments);
    if (!button || IsDisabledId(button->Id())) return;
    ShowImage(*button, state);
}

// An element hidden by its style sheet rather than its own style attribute counts as hidden too,
// so the first toggle shows it.
void LayerToggle(Html::Page& page, const Arguments& arguments)
{
    Html::Node* layer = ElementOfFirstArgument(page, arguments);
    if (!layer) return;
    std::wstring display = layer->StyleDisplay();
    bool hidden = display.empty() ? layer->Style().display == Html::Display::None : display == L"none";
    layer->SetStyleDisplay(hidden ? L"block" : L"none");
}

}  // namespace

std::wstring ButtonImagePath(const std::wstring& className, ButtonImage state)
{
    static const wchar_t* const endings[] = {L".gif", L"_ov.gif", L"_dn.gif", L"_dis.gif"};
    return L"images/" + className + endings[static_cast<int>(state)];
}

void RegisterPageScriptContract(Html::Page& page)
{
    Html::ScriptRegistry& scripts = page.Scripts();
    Html::Page* target = &page;
    // A function the page registered already is its own version and stays.
    auto add = [&scripts](const wchar_t* name, Html::ScriptFunction function) {
        if (!scripts.Has(name)) scripts.Register(name, std::move(function));
    };
    add(L"enable_button", [target](const Arguments& arguments) { EnableButton(*target, arguments); });
    add(L"disable_button", [target](const Arguments& arguments) { DisableButton(*target, arguments); });
    add(L"_button_onmouseover",
        [target](const Arguments& arguments) { ShowButtonState(*target, arguments, ButtonImage::Over); });
    add(L"_button_onmouseout",
        [target](const Arguments& arguments) { ShowButtonState(*target, arguments, ButtonImage::Normal); });
    add(L"_button_onmousedown",
        [target](const Arguments& arguments) { ShowButtonState(*target, arguments, ButtonImage::Down); });
    add(L"_button_onmouseup",
        [target](const Arguments& arguments) { ShowButtonState(*target, arguments, ButtonImage::Over); });
    add(L"layer_toggle", [target](const Arguments& arguments) { LayerToggle(*target, arguments); });
}

}  // namespace Shell
