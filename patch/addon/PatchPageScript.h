#pragma once

namespace Html {
class Page;
}

// The patch manager page's state functions ("_StateStart_OnEnter", ...): each shows one button
// layer, or none, and the motion images of its state.
namespace PatchPageScript {
void Register(Html::Page& page);
}
