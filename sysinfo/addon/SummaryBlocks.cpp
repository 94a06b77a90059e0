#include "sysinfo/addon/SummaryBlocks.h"

#include "html/Node.h"
#include "sysinfo/SystemTexts.h"

using System::String;

namespace SummaryBlocks {

namespace {

const wchar_t Contents01[] = L"contents01";
const wchar_t Contents02[] = L"contents02";
const wchar_t NoAddress[] = L"0.0.0.0";

String Escaped(const String& text) { return String(Html::EscapeMarkup(text.GetStdString())); }

// valueMarkup is markup already; everything else is a fixed text.
String Row(const wchar_t* rowClass, const wchar_t* label, const String& valueMarkup)
{
    return String(L"<div class=\"") + rowClass + L"\"><div class=\"left\">" + label + L"</div><div class=\"right\">" +
           valueMarkup + L"</div></div>";
}

bool HasAddress(const String& address) { return !address.IsEmpty() && address != NoAddress; }

}  // namespace

String DriveRows(const std::vector<const DriveInfo*>& drives, bool fixed)
{
    String markup;
    for (size_t position = 0; position < drives.size(); ++position) {
        const DriveInfo& drive = *drives[position];
        if ((drive.type == FixedDriveText) != fixed) continue;
        const wchar_t* outer = position % 2 == 0 ? Contents02 : Contents01;
        const wchar_t* inner = position % 2 == 0 ? Contents01 : Contents02;
        markup += Row(outer, L"드라이브 이름", Escaped(drive.name));
        markup += Row(inner, L"볼륨 이름", Escaped(drive.label));
        markup += fixed ? Row(outer, L"용량", Escaped(FormatSize(drive.totalBytes)))
                        : Row(outer, L"설명", Escaped(drive.type));
    }
    return markup;
}

NetworkBlock NetworkRows(const std::vector<const NetwrokInfo*>& adapters, const std::vector<String>& dnsServers)
{
    NetworkBlock block;
    bool found = false;
    for (const NetwrokInfo* adapter : adapters) {
        block.markup += L"<div class=\"head\">" + Escaped(adapter->description) + L"</div>";
        block.markup += Row(Contents01, L"IP 주소", Escaped(adapter->ipAddress));
        block.markup += Row(Contents02, L"IP 서브넷", Escaped(adapter->subnetMask));
        if (!found && HasAddress(adapter->ipAddress) && HasAddress(adapter->subnetMask)) {
            block.ipInfo = adapter->ipAddress;
            found = true;
        }
    }
    String addresses;
    for (const String& server : dnsServers) {
        if (!addresses.IsEmpty()) addresses += L"<br />";
        addresses += Escaped(server);
    }
    block.markup += Row(Contents01, L"DNS 주소", addresses);
    return block;
}

}  // namespace SummaryBlocks
