#include "sweeper/addon/SweeperTexts.h"

using System::String;

namespace SweeperTexts {

namespace {

constexpr double BytesPerMegabyte = 1048576.0;

}  // namespace

void AddLabels(System::Dictionary<String, String>& labels)
{
    static const struct {
        const wchar_t* key;
        const wchar_t* label;
    } table[] = {
        {L"Disk", L"디스크"},
        {L"Disk.RecycleBin", L"휴지통"},
        {L"Disk.Temp", L"임시파일"},
        {L"Disk.WindowsTemp", L"Windows 임시파일"},
        {L"Disk.IECache", L"인터넷 임시파일"},
        {L"Disk.IECookie", L"인터넷 쿠키"},
        {L"Disk.FFCache", L"파이어폭스:임시파일"},
        {L"Disk.FFCookie", L"파이퍼폭스:쿠키"},
        {L"Registry", L"레지스트리"},
        {L"Registry.CLSID", L"존재하지 않는 ActiveX/클래스"},
        {L"Registry.SharedDll", L"존재하지 않는 공유 DLL"},
        {L"Registry.ProgID", L"존재하지 않는 연결 프로그램"},
        {L"Registry.AppPath", L"존재하지 않는 프로그램 경로"},
        {L"History", L"일반 사용기록"},
        {L"History.CommonOpenMRU", L"최근 열어본 파일"},
        {L"History.CommonSaveAsMRU", L"최근 다른 이름으로 저장한 파일"},
        {L"History.ExplorerRecent", L"최근 열어본 문서"},
        {L"History.ExplorerRunMRU", L"최근 실행한 파일"},
        {L"History.IEHistory", L"인터넷 사용기록"},
        {L"History.IETypedURLs", L"최근 입력한 주소"},
        {L"History.IESiteVisited", L"방문한 사이트 기록"},
        {L"History.TSCMRU", L"원격 데스크탑 연결:최근 연결한 컴퓨터"},
        {L"ApplicationHistory", L"프로그램 사용기록"},
        {L"ApplicationHistory.WMPRecentFileList", L"미디어 플레이어:최근 열어본 파일"},
        {L"ApplicationHistory.WMPRecentURLList", L"미디어 플레이어:최근 열어본 URL"},
        {L"ApplicationHistory.FFDownloadHistory", L"파이어폭스:다운로드 기록"},
        {L"ApplicationHistory.FFHistory", L"파이어폭스:사용기록"},
        {L"Privacy", L"개인정보"},
        {L"Privacy.Credential", L"메신저 및 네트워크 비밀번호"},
        {L"Privacy.IEAutoCompletePassword", L"저장된 인터넷 비밀번호"},
        {L"Privacy.NateOnPassword", L"네이트온:비밀번호"},
        {L"Privacy.GoogleTalkPassword", L"구글토크:비밀번호"},
        {L"Privacy.FFFormHistory", L"파이어폭스:저장된 폼 정보"},
    };
    for (const auto& entry : table) labels.Add(entry.key, entry.label);
}

String LabelOf(const System::Dictionary<String, String>& labels, const String& key, const String& name)
{
    String label;
    return labels.TryGetValue(key, label) ? label : name;
}

String Status(Pass pass, Moment moment, int progress)
{
    bool analysis = pass == Pass::Analysis;
    const wchar_t* finished = analysis ? L"분석 완료" : L"정리 완료";
    if (moment == Moment::PassCompleted) return finished;
    if (progress < 1 || progress > 99) return progress == 100 ? String(finished) : String();
    if (moment == Moment::PassStopped) return analysis ? L"분석 중지됨" : L"정리 중지됨";
    return String::Format(analysis ? L"분석중... %d%%" : L"정리중... %d%%", progress);
}

String Count(int32_t count)
{
    return String::Format(L"%d", count);
}

String Megabytes(int64_t bytes)
{
    return String::Format(L"%.1fMB", static_cast<double>(bytes) / BytesPerMegabyte);
}

String OverallProgress(int progress)
{
    return String::Format(L"%d%%", progress == 0 ? 1 : progress);
}

String AnalyzedAdvice(int64_t bytes)
{
    return String::Format(L"%.1f MB의 공간을 확보할 수 있습니다.", static_cast<double>(bytes) / BytesPerMegabyte);
}

}  // namespace SweeperTexts
