#include "sweeper/addon/SweeperDlgState.h"

#include "sweeper/addon/SweeperDlg.h"

using SweeperTexts::Moment;
using SweeperTexts::Pass;

void SweeperDlgStateStart::OnEnter()
{
    dialog_->ShowAdvice(L"PC를 분석하세요.",
                        L"오른쪽의 [분석] 버튼을 클릭하여 PC를 분석하세요. PC 분석은 PC에 존재하는 필요없는 요소들을 검색하는 과정입니다.");
    dialog_->CallStateFunction(L"_StateStart_OnEnter");
}

void SweeperDlgStateStart::OnAnalyze()
{
    if (dialog_->StartPass(Pass::Analysis)) dialog_->SetState(dialog_->StateAnalyzing());
}

void SweeperDlgStateRunning::OnEnter()
{
    stopPressed_ = false;
    dialog_->ShowAdvice(texts_.advice, texts_.adviceDetail, L"1%");
    dialog_->CallStateFunction(texts_.pageFunction);
    dialog_->StartRefreshTimer();
}

void SweeperDlgStateRunning::OnLeave()
{
    dialog_->StopRefreshTimer();
}

void SweeperDlgStateRunning::OnStop()
{
    stopPressed_ = true;
    dialog_->GetRoot()->SetStopRequested(true);
}

void SweeperDlgStateRunning::OnTimer(UINT_PTR id)
{
    if (stopPressed_) dialog_->GetRoot()->SetStopRequested(true);
    if (id == SweeperDlg::RefreshTimerId) dialog_->RefreshRows(pass_, Moment::Timer);
    dialog_->RefreshOverallBar();
}

void SweeperDlgStateRunning::OnPassCompleted()
{
    dialog_->RefreshRows(pass_, Moment::PassCompleted);
    dialog_->SetOverallBar(L"100%");
    dialog_->SetState(AfterCompleted());
}

void SweeperDlgStateRunning::OnPassStopped()
{
    dialog_->RefreshRows(pass_, Moment::PassStopped);
    dialog_->RefreshOverallBar();
    dialog_->SetState(AfterStopped());
}

SweeperDlgStateAnalyzing::SweeperDlgStateAnalyzing(SweeperDlg* dialog)
    : SweeperDlgStateRunning(dialog, Pass::Analysis,
                             {L"PC를 분석하고 있습니다...",
                              L"PC에 존재하는 필요없는 요소들을 검색하고 있습니다. 이 작업은 몇 분이상 걸릴 수 있습니다. 중지하시려면 오른쪽의 [중지] 버튼을 클릭하십시오.",
                              L"_StateAnalyzing_OnEnter"})
{
}

SweeperDlgState* SweeperDlgStateAnalyzing::AfterCompleted() const { return dialog_->StateAnalyzed(); }
SweeperDlgState* SweeperDlgStateAnalyzing::AfterStopped() const { return dialog_->StateStart(); }

void SweeperDlgStateAnalyzed::OnEnter()
{
    dialog_->ShowAdvice(SweeperTexts::AnalyzedAdvice(dialog_->GetRoot()->GetSize()).GetBuffer(),
                        L"오른쪽의 [정리] 버튼을 클릭하여 PC를 정리하십시오. PC 정리는 분석 과정에서 검색된 필요없는 요소들을 삭제하는 작업입니다.");
    dialog_->CallStateFunction(L"_StateAnalyzed_OnEnter");
}

void SweeperDlgStateAnalyzed::OnSweep()
{
    if (dialog_->StartPass(Pass::Sweep)) dialog_->SetState(dialog_->StateSweeping());
}

SweeperDlgStateSweeping::SweeperDlgStateSweeping(SweeperDlg* dialog)
    : SweeperDlgStateRunning(dialog, Pass::Sweep,
                             {L"PC를 정리하고 있습니다...",
                              L"PC에서 검색된 필요없는 요소들을 삭제하고 있습니다. 이 작업은 몇 분이상 걸릴 수 있습니다. 중지하시려면 오른쪽의 [중지] 버튼을 클릭하십시오.",
                              L"_StateSweeping_OnEnter"})
{
}

SweeperDlgState* SweeperDlgStateSweeping::AfterCompleted() const { return dialog_->StateFinished(); }
SweeperDlgState* SweeperDlgStateSweeping::AfterStopped() const { return dialog_->StateAnalyzed(); }

void SweeperDlgStateFinished::OnEnter()
{
    dialog_->ShowAdvice(L"PC 정리가 완료되었습니다.",
                        L"PC에서 검색된 필요없는 요소들을 삭제 하였습니다. 일부 프로그램에서 사용중인 요소들은 삭제되지 않았을 수 있습니다. 오른쪽의 [완료] 버튼을 클릭하십시오.");
    dialog_->CallStateFunction(L"_StateFinished_OnEnter");
}

void SweeperDlgStateFinished::OnComplete()
{
    dialog_->ClearRows();
    dialog_->GetRoot()->Reset(false);
    dialog_->SetState(dialog_->StateStart());
}
