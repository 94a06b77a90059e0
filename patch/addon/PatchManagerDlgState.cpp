#include "patch/addon/PatchManagerDlgState.h"

#include "core/String.h"
#include "core/Trace.h"
#include "patch/addon/PatchManagerDlg.h"
#include "patch/addon/PatchTexts.h"

using System::String;

void PatchManagerDlgState::TraceEvent(const wchar_t* event) const
{
    System::Diagnostics::Trace::WriteLine(String(name_) + L"::" + event);
}

void PatchManagerDlgState::OnMessage(int kind, const wchar_t* advice, const wchar_t* detail)
{
    if (kind == 1) dialog_->ChangeState(dialog_->StateError());
    else if (kind == -1) dialog_->ChangeState(dialog_->StateFatalError());
    dialog_->SetAdvice(advice ? advice : L"", detail ? detail : L"");
}

void PatchManagerDlgStateStart::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->SetAdvice(PatchTexts::StartAdvice, PatchTexts::StartDetail);
    dialog_->ShowList(false, false);
    dialog_->CallStateScript(L"_StateStart_OnEnter");
}

void PatchManagerDlgStateStart::OnLeave() { TraceEvent(L"OnLeave"); }

void PatchManagerDlgStateStart::OnStart()
{
    TraceEvent(L"OnStart");
    dialog_->ChangeState(dialog_->StateCheckAgent());
}

void PatchManagerDlgStateCycling::StartCycling()
{
    counter_ = 0;
    dialog_->SetProgress(1);
    dialog_->StartCycleTimer();
}

void PatchManagerDlgStateCycling::OnTimer(UINT_PTR id)
{
    if (id != PatchManagerDlg::CycleTimerId) return;
    TraceEvent(L"OnTimer");
    counter_ += 2;
    if (counter_ >= 100) counter_ = 1;
    dialog_->SetProgress(counter_);
}

void PatchManagerDlgStateCheckAgent::OnEnter()
{
    TraceEvent(L"OnStart");
    dialog_->SetAdvice(PatchTexts::CheckAgentAdvice, L"");
    // No buttons while the agent is checked: a second Search cannot start a second check.
    dialog_->CallStateScript(L"_StateFatalError_OnEnter");
    StartCycling();
}

void PatchManagerDlgStateCheckAgent::OnLeave()
{
    TraceEvent(L"OnLeave");
    dialog_->StopCycleTimer();
}

void PatchManagerDlgStateCheckAgent::OnCompleted()
{
    TraceEvent(L"OnCompleted");
    dialog_->StopCycleTimer();
    if (!dialog_->SearchPatch()) {
        // Nothing would ever end a search that did not start.
        OnMessage(1, PatchTexts::SearchFailed, nullptr);
        return;
    }
    dialog_->ChangeState(dialog_->StateSearching());
}

void PatchManagerDlgStateSearching::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->SetAdvice(PatchTexts::SearchingAdvice, PatchTexts::SearchingDetail);
    dialog_->CallStateScript(L"_StateSearching_OnEnter");
    StartCycling();
}

void PatchManagerDlgStateSearching::OnLeave()
{
    TraceEvent(L"OnLeave");
    dialog_->StopCycleTimer();
}

void PatchManagerDlgStateSearching::OnStop()
{
    TraceEvent(L"OnStop");
    dialog_->StopCycleTimer();
    dialog_->SetAdvice(PatchTexts::SearchingStopAdvice, L"");
    dialog_->AbortSearch();
}

void PatchManagerDlgStateSearching::OnCompleted()
{
    TraceEvent(L"OnCompleted");
    dialog_->StopCycleTimer();
    dialog_->SetProgress(100);
    dialog_->ChangeState(dialog_->StateSearched());
}

void PatchManagerDlgStateSearched::OnEnter()
{
    TraceEvent(L"OnEnter");
    int count = dialog_->GetUpdateCount();
    if (count > 0) {
        dialog_->SetAdvice(String::Format(PatchTexts::SearchedAdvice, count).GetBuffer(), PatchTexts::SearchedDetail);
        dialog_->ShowList(true, true);
        dialog_->SetPatchList();
        dialog_->CallStateScript(L"_StateSearched_OnEnter");
        dialog_->ShowPatchNotice();
        return;
    }
    dialog_->CallStateScript(L"_StateStart_OnEnter");
    dialog_->ChangeState(dialog_->StateStart());
    dialog_->SetAdvice(PatchTexts::NoUpdatesAdvice, PatchTexts::NoUpdatesDetail);
}

void PatchManagerDlgStateSearched::OnStart()
{
    TraceEvent(L"OnStart");
    switch (dialog_->DownloadPatch()) {
    case PatchManagerDlg::DownloadStart::Started:
        dialog_->ChangeState(dialog_->StateDownloading());
        break;
    case PatchManagerDlg::DownloadStart::Failed:
        OnMessage(1, PatchTexts::DownloadFailed, nullptr);
        break;
    case PatchManagerDlg::DownloadStart::NothingSelected:
        break;
    }
}

void PatchManagerDlgStateDownloading::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->EnableList(false);
    dialog_->SetAdvice(PatchTexts::DownloadingAdvice, PatchTexts::DownloadingDetail);
    dialog_->CallStateScript(L"_StateInstalling_OnEnter");
}

void PatchManagerDlgStateDownloading::OnStop()
{
    TraceEvent(L"OnStop");
    dialog_->AbortDownload();
    dialog_->EnableList(true);
    dialog_->SetAdvice(PatchTexts::DownloadingStopAdvice, L"");
}

void PatchManagerDlgStateDownloading::OnCompleted()
{
    TraceEvent(L"OnCompleted");
    dialog_->EnableList(true);
    dialog_->ChangeState(dialog_->StateInstalling());
}

void PatchManagerDlgStateInstalling::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->EnableList(false);
    dialog_->SetAdvice(PatchTexts::InstallingAdvice, PatchTexts::InstallingDetail);
    dialog_->SetProgress(1);
    if (!dialog_->InstallPatch()) {
        dialog_->EnableList(true);
        OnMessage(1, PatchTexts::InstallFailed, nullptr);
    }
}

void PatchManagerDlgStateInstalling::OnStop()
{
    TraceEvent(L"OnStop");
    dialog_->AbortInstall();
    dialog_->EnableList(true);
    dialog_->SetAdvice(PatchTexts::InstallingStopAdvice, L"");
}

void PatchManagerDlgStateInstalling::OnCompleted()
{
    TraceEvent(L"OnCompleted");
    dialog_->SetProgress(100);
    dialog_->EnableList(true);
    dialog_->ChangeState(dialog_->StateFinished());
}

void PatchManagerDlgStateFinished::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->SetAdvice(PatchTexts::FinishedAdvice, PatchTexts::FinishedDetail);
    dialog_->CallStateScript(L"_StateFinished_OnEnter");
}

void PatchManagerDlgStateFinished::OnLeave() { TraceEvent(L"OnLeave"); }

void PatchManagerDlgStateFinished::OnStart()
{
    TraceEvent(L"OnStart");
    dialog_->DeleteAllRows();
    dialog_->ChangeState(dialog_->StateCheckAgent());
}

void PatchManagerDlgStateError::OnEnter()
{
    TraceEvent(L"OnEnter");
    dialog_->CallStateScript(L"_StateError_OnEnter");
}

void PatchManagerDlgStateError::OnLeave() { TraceEvent(L"OnLeave"); }

void PatchManagerDlgStateFatalError::OnEnter()
{
    dialog_->ShowList(false, false);
    dialog_->CallStateScript(L"_StateFatalError_OnEnter");
}
