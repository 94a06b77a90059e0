#pragma once

#include <windows.h>

#include "core/Object.h"

class PatchManagerDlg;

// One step of the patch manager's workflow. The window hands user actions and completion notices
// to the current state; what a state does not override does nothing, except OnMessage: kind 1
// moves to Error, kind -1 to FatalError, and the advice texts become the given ones.
class PatchManagerDlgState : public System::Object {
public:
    PatchManagerDlgState(PatchManagerDlg* dialog, const wchar_t* name) : dialog_(dialog), name_(name) {}

    virtual void OnEnter() {}
    virtual void OnLeave() {}
    virtual void OnStart() {}
    virtual void OnStop() {}
    virtual void OnMessage(int kind, const wchar_t* advice, const wchar_t* detail);
    virtual void OnTimer(UINT_PTR id) { (void)id; }
    virtual void OnCompleted() {}

    const wchar_t* GetName() const { return name_; }

protected:
    // "<state>::<event>".
    void TraceEvent(const wchar_t* event) const;

    PatchManagerDlg* dialog_;
    const wchar_t* name_;
};

class PatchManagerDlgStateStart : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateStart(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Start") {}
    void OnEnter() override;
    void OnLeave() override;
    void OnStart() override;
};

// The progress bar cycles while the agent is checked and while the search runs.
class PatchManagerDlgStateCycling : public PatchManagerDlgState {
public:
    using PatchManagerDlgState::PatchManagerDlgState;
    void OnTimer(UINT_PTR id) override;

protected:
    void StartCycling();
    int counter_ = 0;
};

class PatchManagerDlgStateCheckAgent : public PatchManagerDlgStateCycling {
public:
    explicit PatchManagerDlgStateCheckAgent(PatchManagerDlg* dialog) : PatchManagerDlgStateCycling(dialog, L"CheckAgent") {}
    void OnEnter() override;
    void OnLeave() override;
    void OnCompleted() override;
};

class PatchManagerDlgStateSearching : public PatchManagerDlgStateCycling {
public:
    explicit PatchManagerDlgStateSearching(PatchManagerDlg* dialog) : PatchManagerDlgStateCycling(dialog, L"Searching") {}
    void OnEnter() override;
    void OnLeave() override;
    void OnStop() override;
    void OnCompleted() override;
};

class PatchManagerDlgStateSearched : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateSearched(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Searched") {}
    void OnEnter() override;
    void OnStart() override;
};

class PatchManagerDlgStateDownloading : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateDownloading(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Downloading") {}
    void OnEnter() override;
    void OnStop() override;
    void OnCompleted() override;
};

class PatchManagerDlgStateInstalling : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateInstalling(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Installing") {}
    void OnEnter() override;
    void OnStop() override;
    void OnCompleted() override;
};

class PatchManagerDlgStateFinished : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateFinished(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Finished") {}
    void OnEnter() override;
    void OnLeave() override;
    void OnStart() override;
};

class PatchManagerDlgStateError : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateError(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"Error") {}
    void OnEnter() override;
    void OnLeave() override;
};

// Final: no buttons; the user leaves through the back arrow.
class PatchManagerDlgStateFatalError : public PatchManagerDlgState {
public:
    explicit PatchManagerDlgStateFatalError(PatchManagerDlg* dialog) : PatchManagerDlgState(dialog, L"FatalError") {}
    void OnEnter() override;
};
