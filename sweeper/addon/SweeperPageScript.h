#pragma once

namespace Html {
class Page;
}

// The sweeper page's own functions, one per workflow state (_StateStart_OnEnter ...
// _StateFinished_OnEnter): each shows the action button of its state and hides the others, and
// shows the busy image and the moving bar only while a pass runs.
namespace SweeperPageScript {

void Register(Html::Page& page);

}  // namespace SweeperPageScript
