#include "process/detail/CProcessDetailSheet.h"

namespace {

ProcessInfo CopyOf(const ProcessInfo& process)
{
    ProcessInfo copy(0, System::String(), System::String(), System::String(), 0, 0, System::String());
    copy.CopyFrom(process);
    return copy;
}

}  // namespace

CProcessDetailSheet::CProcessDetailSheet(const ProcessInfo& process, const HandleNameOptions& options)
    : CPropertySheet(CaptionFor(process).GetBuffer(), nullptr, 0),
      process_(CopyOf(process)),
      infoPage_(process_),
      windowPage_(process_),
      modulePage_(process_),
      handlePage_(process_, options)
{
    AddPage(&infoPage_);
    AddPage(&windowPage_);
    AddPage(&modulePage_);
    AddPage(&handlePage_);
}

System::String CProcessDetailSheet::CaptionFor(const ProcessInfo& process)
{
    return System::String(L"프로세스 정보 - ") + process.GetDescription();
}

INT_PTR ShowProcessDetailSheet(const ProcessInfo& process)
{
    CProcessDetailSheet sheet(process);
    return sheet.DoModal();
}
