#include "sweeper/addon/SweeperPageScript.h"

#include <string>
#include <vector>

#include "html/Node.h"
#include "html/Page.h"

namespace SweeperPageScript {

namespace {

// The page's layers of action buttons, one per button.
const wchar_t* const ButtonLayers[] = {L"LayerAnalyze", L"LayerStop", L"LayerSweep", L"LayerComplete"};
// What shows that a pass runs.
const wchar_t* const BusyLayers[] = {L"LayerBusy", L"LayerMovingBar"};

void Show(Html::Page& page, const wchar_t* id, bool shown)
{
    if (Html::Node* element = page.GetElementById(id)) element->SetStyleDisplay(shown ? L"block" : L"none");
}

void Enter(Html::Page& page, const wchar_t* buttonLayer, bool busy)
{
    for (const wchar_t* layer : ButtonLayers) Show(page, layer, std::wstring(layer) == buttonLayer);
    for (const wchar_t* layer : BusyLayers) Show(page, layer, busy);
}

}  // namespace

void Register(Html::Page& page)
{
    const struct {
        const wchar_t* function;
        const wchar_t* buttonLayer;
        bool busy;
    } states[] = {
        {L"_StateStart_OnEnter", L"LayerAnalyze", false},   {L"_StateAnalyzing_OnEnter", L"LayerStop", true},
        {L"_StateAnalyzed_OnEnter", L"LayerSweep", false},  {L"_StateSweeping_OnEnter", L"LayerStop", true},
        {L"_StateFinished_OnEnter", L"LayerComplete", false},
    };
    Html::Page* target = &page;
    for (const auto& state : states) {
        const wchar_t* layer = state.buttonLayer;
        bool busy = state.busy;
        page.Scripts().Register(state.function, [target, layer, busy](const std::vector<std::wstring>&) { Enter(*target, layer, busy); });
    }
}

}  // namespace SweeperPageScript
