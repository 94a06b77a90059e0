#include "patch/addon/PatchPageScript.h"

#include <string>
#include <vector>

#include "html/Node.h"
#include "html/Page.h"

namespace PatchPageScript {

namespace {

const wchar_t* const ButtonLayers[] = {L"SearchButtonLayer", L"StopButtonLayer", L"InstallButtonLayer",
                                       L"ReturnButtonLayer", L"CompleteButtonLayer", L"StoppingButtonLayer"};

struct StateLayout {
    const wchar_t* function;
    // Null: no layer.
    const wchar_t* layer;
    bool motionIcon;
    bool moveBar;
};

const StateLayout Layouts[] = {
    {L"_StateStart_OnEnter", L"SearchButtonLayer", false, false},
    {L"_StateSearching_OnEnter", L"StopButtonLayer", true, true},
    {L"_StateSearched_OnEnter", L"InstallButtonLayer", false, false},
    {L"_StateInstalling_OnEnter", L"StopButtonLayer", true, false},
    {L"_StateFinished_OnEnter", L"CompleteButtonLayer", false, false},
    {L"_StateError_OnEnter", L"ReturnButtonLayer", false, false},
    {L"_StateFatalError_OnEnter", nullptr, false, false},
    {L"_StateStopping_OnEnter", L"StoppingButtonLayer", true, false},
};

void Show(Html::Page& page, const wchar_t* id, bool shown)
{
    if (Html::Node* element = page.GetElementById(id)) element->SetStyleDisplay(shown ? L"inline" : L"none");
}

}  // namespace

void Register(Html::Page& page)
{
    Html::Page* target = &page;
    for (const StateLayout& layout : Layouts) {
        const StateLayout* entry = &layout;
        page.Scripts().Register(layout.function, [target, entry](const std::vector<std::wstring>&) {
            for (const wchar_t* layer : ButtonLayers) Show(*target, layer, entry->layer && std::wstring(layer) == entry->layer);
            Show(*target, L"MotionIcon", entry->motionIcon);
            Show(*target, L"moveBar", entry->moveBar);
        });
    }
}

}  // namespace PatchPageScript
