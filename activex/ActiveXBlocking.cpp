#include "activex/ActiveXBlocking.h"

#include "activex/AxmSettings.h"
#include "core/ExceptionGuard.h"

ActiveXBlocking::ActiveXBlocking(const System::String& settingsPath, Note note)
    : settingsPath_(settingsPath), note_(std::move(note))
{
    System::TraceExceptions([&] { noNoteFlag_ = AxmSettings::ReadNoNoteFlag(settingsPath_); });
}

std::vector<size_t> ActiveXBlocking::Apply(const std::vector<ActiveXEntry*>& selected, bool block,
                                           const std::function<void(size_t)>& onChange)
{
    std::vector<size_t> changed;
    for (size_t i = 0; i < selected.size(); ++i) {
        if ((block ? selected[i]->Block() : selected[i]->Unblock()) != 1) continue;
        changed.push_back(i);
        if (onChange) onChange(i);
    }
    if (changed.empty() || noNoteFlag_ == 1 || !note_) return changed;
    bool dontAskAgain = false;
    if (note_(dontAskAgain)) {
        noNoteFlag_ = dontAskAgain ? 1 : 0;
        System::TraceExceptions([&] { AxmSettings::WriteNoNoteFlag(settingsPath_, noNoteFlag_); });
    }
    return changed;
}

int ActiveXBlocking::BlockWithoutNote(const std::vector<ActiveXEntry*>& entries)
{
    int blocked = 0;
    for (ActiveXEntry* entry : entries) blocked += entry->Block();
    return blocked;
}
