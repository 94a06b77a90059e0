#pragma once

#include <string>

namespace Html {
class Page;
}

namespace Shell {

// The images of a button: "images/" + its class + one of these endings.
enum class ButtonImage { Normal, Over, Down, Disabled };

// The image path of a button class in one state ("images/arrow_left_ov.gif").
std::wstring ButtonImagePath(const std::wstring& className, ButtonImage state);

// Registers the functions every page of the suite calls or is called with: enable_button(id),
// disable_button(id), _button_onmouseover/out/down/up(id) and layer_toggle(id). A disabled button
// carries the id "_" + id, so event-map entries for the id no longer match it and the hover
// functions leave it alone. Calls naming no element do nothing. A function of one of these names
// that the page has already is left as it is.
void RegisterPageScriptContract(Html::Page& page);

}  // namespace Shell
