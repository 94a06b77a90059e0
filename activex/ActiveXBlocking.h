#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "activex/ActiveXEntry.h"
#include "core/String.h"

// Blocking and unblocking several controls at once, as the toolbar's links do: after a change the
// note that the browser must be restarted is shown, until the user ticks "다시 물어 보지 않음";
// that choice is kept in vaaxm.cfg.
class ActiveXBlocking {
public:
    // Shows the note; true when it was closed with OK, with dontAskAgain set to its box.
    using Note = std::function<bool(bool& dontAskAgain)>;

    // Reads the no-note flag of the settings file; a file that cannot be read counts as a new one.
    ActiveXBlocking(const System::String& settingsPath, Note note);

    int32_t GetNoNoteFlag() const { return noNoteFlag_; }

    // Blocks (or unblocks) each entry in order, telling changed about each one that changed, and
    // returns their positions. When any did, the note is shown unless the flag says not to; after
    // OK its box becomes the flag and is written. A failure to write it is traced: the choice
    // still holds for this run.
    std::vector<size_t> Apply(const std::vector<ActiveXEntry*>& selected, bool block,
                              const std::function<void(size_t)>& changed = nullptr);

    // Blocks each entry in order without a note, as the answer to the dangerous-control question.
    // Returns how many were blocked.
    static int BlockWithoutNote(const std::vector<ActiveXEntry*>& entries);

private:
    System::String settingsPath_;
    Note note_;
    int32_t noNoteFlag_ = 0;
};
