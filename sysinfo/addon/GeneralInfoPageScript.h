#pragma once

namespace Html {
class Page;
}

// The general tab page's own function on_switch(1|2|3): shows the panel "info", "info2" or "info3"
// and hides the others, and marks the matching tab ("Tab1" to "Tab3") as the selected one.
// Any other argument changes nothing.
namespace GeneralInfoPageScript {

void Register(Html::Page& page);

}  // namespace GeneralInfoPageScript
