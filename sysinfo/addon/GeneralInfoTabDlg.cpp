#include "sysinfo/addon/GeneralInfoTabDlg.h"

#include <memory>
#include <string>
#include <vector>

#include "core/ExceptionGuard.h"
#include "html/Node.h"
#include "html/Page.h"
#include "sysinfo/DefaultBrowser.h"
#include "sysinfo/SysInfo.h"
#include "sysinfo/SystemTexts.h"
#include "sysinfo/addon/GeneralInfoPageScript.h"
#include "sysinfo/addon/SummaryBlocks.h"

using System::String;

namespace {

const wchar_t* const Panels[] = {L"info", L"info2", L"info3"};

// Takes the records of an array whose receiver owns them.
template <class T>
std::vector<std::unique_ptr<T>> Own(System::Array<T*> records)
{
    std::vector<std::unique_ptr<T>> owned;
    for (T* record : records) owned.emplace_back(record);
    return owned;
}

template <class T>
std::vector<const T*> View(const std::vector<std::unique_ptr<T>>& owned)
{
    std::vector<const T*> view;
    for (const auto& record : owned) view.push_back(record.get());
    return view;
}

}  // namespace

BEGIN_MESSAGE_MAP(CGeneralInfoTabDlg, CDHtmlDialogEx)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CGeneralInfoTabDlg::CGeneralInfoTabDlg(CWnd* parent) : CDHtmlDialogEx(TemplateId, PageId, parent) {}

System::Array<DriveInfo*> CGeneralInfoTabDlg::CollectDrives() { return GetDrives(); }

System::Array<NetwrokInfo*> CGeneralInfoTabDlg::CollectNetworkAdapters() { return GetNetworkAdapters(); }

System::Array<String> CGeneralInfoTabDlg::CollectDnsServers() { return GetDnsServers(); }

BOOL CGeneralInfoTabDlg::OnInitDialog()
{
    CDHtmlDialogEx::OnInitDialog();
    FillSummary();
    UpdateData(FALSE);
    return TRUE;
}

void CGeneralInfoTabDlg::FillSummary()
{
    CSysInfo info;
    info.Collect();
    osInfo_ = info.GetOSText().GetBuffer();
    cpuInfo_ = info.GetProcessorText().GetBuffer();
    totalMemory_ = FormatSize(info.GetTotalPhysicalMemory()).GetBuffer();
    totalVirtualMemory_ = FormatSize(info.GetTotalPageFile()).GetBuffer();
    userInfo_ = info.GetUserNameText().GetBuffer();
    videoInfo_ = GetDisplayAdapters().GetBuffer();
    defaultBrowser_ = GetDefaultBrowser().GetBuffer();
    computerInfo_ = GetComputerNameText().GetBuffer();
    locale_ = String::Format(L"%s / %s", GetKeyboardCountry().GetBuffer(), GetSystemLanguage().GetBuffer()).GetBuffer();
    windowFolder_ = GetWindowsFolder().GetBuffer();
    systemFolder_ = GetSystemFolder().GetBuffer();
}

void CGeneralInfoTabDlg::OnRegisterPageScripts()
{
    CDHtmlDialogEx::OnRegisterPageScripts();
    if (Html::Page* page = GetPage()) GeneralInfoPageScript::Register(*page);
}

void CGeneralInfoTabDlg::OnDocumentComplete()
{
    CDHtmlDialogEx::OnDocumentComplete();
    BuildBlocks();
    UpdateData(FALSE);
    CRect client;
    GetClientRect(&client);
    FitPanels(client.Height());
}

void CGeneralInfoTabDlg::OnSize(UINT type, int cx, int cy)
{
    CDHtmlDialogEx::OnSize(type, cx, cy);
    FitPanels(cy);
}

void CGeneralInfoTabDlg::FitPanels(int clientHeight)
{
    // The page engine does not stretch a box between its top and bottom, so the panels, which
    // scroll their own contents, get their height here from the client area's.
    for (const wchar_t* id : Panels) {
        Html::Node* panel = GetElement(id);
        if (!panel) continue;
        const Html::Length& offset = panel->Style().top;
        int top = offset.unit == Html::Length::Unit::Px ? static_cast<int>(offset.value) : 0;
        int height = clientHeight > top ? clientHeight - top : 0;
        std::wstring value = std::to_wstring(height) + L"px";
        if (panel->GetStyleProperty(L"height") != value) panel->SetStyleProperty(L"height", value);
    }
}

void CGeneralInfoTabDlg::BuildBlocks()
{
    System::TraceExceptions([&] {
        auto drives = Own(CollectDrives());
        hddBlock_ = SummaryBlocks::DriveRows(View(drives), true).GetBuffer();
        oddBlock_ = SummaryBlocks::DriveRows(View(drives), false).GetBuffer();
    });
    System::TraceExceptions([&] {
        auto adapters = Own(CollectNetworkAdapters());
        System::Array<String> servers = CollectDnsServers();
        SummaryBlocks::NetworkBlock block =
            SummaryBlocks::NetworkRows(View(adapters), std::vector<String>(servers.begin(), servers.end()));
        netBlock_ = block.markup.GetBuffer();
        ipInfo_ = block.ipInfo.GetBuffer();
    });
}

void CGeneralInfoTabDlg::DoDataExchange(CDataExchange* exchange)
{
    CDHtmlDialogEx::DoDataExchange(exchange);
    DDX_DHtml_ElementInnerText(exchange, L"TopOSInfo", osInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"OSInfo", osInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"TopCPUInfo", cpuInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"CPUInfo", cpuInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"TopVideoInfo", videoInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"VideoInfo", videoInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"DefaultBrowser", defaultBrowser_);
    DDX_DHtml_ElementInnerText(exchange, L"IPInfo", ipInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"TotalMemory", totalMemory_);
    DDX_DHtml_ElementInnerText(exchange, L"TotalVirtualMemory", totalVirtualMemory_);
    DDX_DHtml_ElementInnerText(exchange, L"ComputerInfo", computerInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"UserInfo", userInfo_);
    DDX_DHtml_ElementInnerText(exchange, L"Locale", locale_);
    DDX_DHtml_ElementInnerText(exchange, L"WindowFolder", windowFolder_);
    DDX_DHtml_ElementInnerText(exchange, L"SystemFolder", systemFolder_);
    DDX_DHtml_ElementInnerHtml(exchange, L"divHDD", hddBlock_);
    DDX_DHtml_ElementInnerHtml(exchange, L"divODD", oddBlock_);
    DDX_DHtml_ElementInnerHtml(exchange, L"divNet", netBlock_);
}
