#pragma once

// What the patch manager's window says.
namespace PatchTexts {

constexpr const wchar_t* Caption = L"Windows 업데이트";
constexpr const wchar_t* StartAdvice = L"업데이트를 검색하세요.";
constexpr const wchar_t* StartDetail = L"윈도우 업데이트를 검색합니다.";
constexpr const wchar_t* CheckAgentAdvice = L"에이전트를 확인합니다.";
constexpr const wchar_t* SearchingAdvice = L"업데이트를 검색하고 있습니다...";
constexpr const wchar_t* SearchingDetail =
    L"업데이트 검색중입니다. 이 작업은 컴퓨터에 따라 몇 분 정도 걸릴 수 있습니다. 중지하려면 오른쪽의 [중지] 버튼을 클릭하십시오.";
constexpr const wchar_t* SearchingStopAdvice = L"업데이트 검색을 중지하고 있습니다.";
constexpr const wchar_t* SearchedAdvice = L"%d 개의 업데이트가 있습니다.";
constexpr const wchar_t* SearchedDetail = L"오른쪽의 [설치] 버튼을 클릭하여 업데이트를 설치하십시오.";
constexpr const wchar_t* NoUpdatesAdvice = L"업데이트 항목이 없습니다";
constexpr const wchar_t* NoUpdatesDetail = L"다시 업데이트를 검색하려면 오른쪽의 [검색] 버튼을 클릭하십시오.";
constexpr const wchar_t* DownloadingAdvice = L"업데이트를 다운로드하고 있습니다...";
constexpr const wchar_t* DownloadingDetail =
    L"업데이트를 다운로드하고 있습니다. 이 작업은 몇 분 정도 걸릴 수 있습니다. 중지하시려면 오른쪽의 [중지] 버튼을 클릭하십시오.";
constexpr const wchar_t* DownloadingStopAdvice = L"업데이트 다운로드를 중지하고 있습니다.";
constexpr const wchar_t* InstallingAdvice = L"업데이트를 설치하고 있습니다...";
constexpr const wchar_t* InstallingDetail =
    L"업데이트를 설치하고 있습니다. 이 작업은 몇 분 정도 걸릴 수 있습니다. 중지하시려면 오른쪽의 [중지] 버튼을 클릭하십시오.";
constexpr const wchar_t* InstallingStopAdvice = L"업데이트 설치를 중지하고 있습니다.";
constexpr const wchar_t* FinishedAdvice = L"업데이트 설치가 완료되었습니다.";
constexpr const wchar_t* FinishedDetail = L"[처음으로] 버튼을 클릭하면 업데이트 도구 시작화면으로 이동합니다.";
constexpr const wchar_t* PartialAdvice = L"%d개의 업데이트 중 %d개가 설치되었습니다.";
constexpr const wchar_t* PartialDetail =
    L"설치되지 않은 업데이트를 설치하려면 오른쪽의 [처음으로]버튼을 클릭하여 업데이트 도구를 다시 시작하세요.";
constexpr const wchar_t* StopQuestion = L"취소 하시겠습니까?";
constexpr const wchar_t* SearchFailed = L"검색에 실패했습니다";
constexpr const wchar_t* DownloadFailed = L"다운로드에 실패했습니다";
constexpr const wchar_t* InstallFailed = L"설치에 실패했습니다";
constexpr const wchar_t* UnknownError = L"알 수 없는 오류입니다.";
constexpr const wchar_t* UnsupportedSystem = L"지원하지 않는 운영체제입니다.\r\n\r\n프로그램을 종료합니다.";
constexpr const wchar_t* NotAdministrator = L"관리자(Adminstrator) 계정으로 로그인하세요.\r\n\r\n프로그램을 종료합니다.";
constexpr const wchar_t* Windows2000BelowSp3 = L"Windows 2000 sp3 이상을 먼저 설치해야 합니다.\r\n\r\n프로그램을 종료합니다.";
constexpr const wchar_t* RequirementUnknown =
    L"알수 없는 오류가 발생하여 업데이트 관리를 할 수 없습니다.\r\n\r\n프로그램을 종료합니다.";
constexpr const wchar_t* NoCatalogue = L"업데이트가 필요하지만 업데이트 정보를 받을 수 없습니다.\r\n\r\n프로그램을 종료합니다.";
constexpr const wchar_t* NoSession = L"업데이트 에이전트를 실행할 수 없습니다.";
constexpr const wchar_t* RebootPendingQuestion = L"이전의 설치가 진행중 입니다.\r\n\r\n윈도우를 재시작 하시겠습니까?";
constexpr const wchar_t* NothingChecked = L"선택한 업데이트가 없습니다.";
constexpr const wchar_t* RestartQuestion =
    L"업데이트를 설치를 완료하기 위해서는 시스템을 다시 시작해야합니다.\r\n\r\n다시 시작 하시겠습니까?";
constexpr const wchar_t* MandatoryFirst = L"필수 항목을 먼저 설치해야 합니다.";
constexpr const wchar_t* ExclusiveQuestion = L"선택한 항목은 다른 업데이트와 함께 설치할 수 없습니다.\r\n\r\n이 항목을 먼저 설치하시겠습니까?";
constexpr const wchar_t* ExclusiveCheckedQuestion = L"개별 설치해야 하는 항목이 선택되어 있습니다.\r\n\r\n이 항목을 먼저 설치하시겠습니까?";
constexpr const wchar_t* Mandatory = L"필수";
constexpr const wchar_t* Important = L"중요";
constexpr const wchar_t* Normal = L"일반";
constexpr const wchar_t* Declined = L"설치 거부";
constexpr const wchar_t* Stopping = L"중지하는 중";
constexpr const wchar_t* DownloadFailedRow = L"다운로드 실패";
constexpr const wchar_t* DownloadingRow = L"다운로드 중... %d%%";
constexpr const wchar_t* DownloadedRow = L"다운로드 완료";
constexpr const wchar_t* InstallingRow = L"설치 중... %d%%";
constexpr const wchar_t* InstalledRow = L"설치 완료";
constexpr const wchar_t* InstallFailedRow = L"설치 실패";
constexpr const wchar_t* EulaTitle = L"최종 사용자 계약에 대한 동의(EULA)";

}  // namespace PatchTexts
