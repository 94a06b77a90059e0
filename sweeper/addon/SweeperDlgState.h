#pragma once

#include <windows.h>

#include "core/Object.h"
#include "sweeper/addon/SweeperTexts.h"

class SweeperDlg;

// One step of the sweeper window's workflow. The window hands each of its messages to the current
// state; an operation a state does not override does nothing, so a message that makes no sense in
// a state (Analyze while sweeping, Stop while idle, every worker Progress) is ignored there.
class SweeperDlgState : public System::Object {
public:
    explicit SweeperDlgState(SweeperDlg* dialog) : dialog_(dialog) {}

    virtual void OnEnter() {}
    virtual void OnLeave() {}
    virtual void OnAnalyze() {}
    virtual void OnSweep() {}
    virtual void OnComplete() {}
    virtual void OnStop() {}
    virtual void OnTimer(UINT_PTR id) { (void)id; }
    virtual void OnProgress() {}
    virtual void OnPassCompleted() {}
    virtual void OnPassStopped() {}

protected:
    SweeperDlg* dialog_;
};

// Waiting for the user to tick rows and press Analyze.
class SweeperDlgStateStart : public SweeperDlgState {
public:
    using SweeperDlgState::SweeperDlgState;
    void OnEnter() override;
    void OnAnalyze() override;
};

// A pass runs on the worker: the rows and the bar follow it once a second, Stop asks it to end.
class SweeperDlgStateRunning : public SweeperDlgState {
public:
    void OnEnter() override;
    void OnLeave() override;
    void OnStop() override;
    void OnTimer(UINT_PTR id) override;
    void OnPassCompleted() override;
    void OnPassStopped() override;

protected:
    struct Texts {
        const wchar_t* advice;
        const wchar_t* adviceDetail;
        const wchar_t* pageFunction;
    };
    SweeperDlgStateRunning(SweeperDlg* dialog, SweeperTexts::Pass pass, const Texts& texts)
        : SweeperDlgState(dialog), pass_(pass), texts_(texts)
    {
    }
    // Where the window goes when the pass ends normally, and when it was stopped.
    virtual SweeperDlgState* AfterCompleted() const = 0;
    virtual SweeperDlgState* AfterStopped() const = 0;

private:
    SweeperTexts::Pass pass_;
    Texts texts_;
    // The worker's Run clears the root's stop flag as it starts, so a Stop pressed at that very
    // moment is applied again on the next timer tick.
    bool stopPressed_ = false;
};

class SweeperDlgStateAnalyzing : public SweeperDlgStateRunning {
public:
    explicit SweeperDlgStateAnalyzing(SweeperDlg* dialog);

protected:
    SweeperDlgState* AfterCompleted() const override;
    SweeperDlgState* AfterStopped() const override;
};

// The analysis is done: the advice tells how much can be freed; Sweep removes it.
class SweeperDlgStateAnalyzed : public SweeperDlgState {
public:
    using SweeperDlgState::SweeperDlgState;
    void OnEnter() override;
    void OnSweep() override;
};

class SweeperDlgStateSweeping : public SweeperDlgStateRunning {
public:
    explicit SweeperDlgStateSweeping(SweeperDlg* dialog);

protected:
    SweeperDlgState* AfterCompleted() const override;
    SweeperDlgState* AfterStopped() const override;
};

// The sweep is done; Complete clears the rows and starts over.
class SweeperDlgStateFinished : public SweeperDlgState {
public:
    using SweeperDlgState::SweeperDlgState;
    void OnEnter() override;
    void OnComplete() override;
};
