#include "sysinfo/NetworkAdapters.h"

// winsock2.h must come before windows.h, which iphlpapi.h pulls in.
#include <winsock2.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/Trace.h"

using System::String;
using System::Diagnostics::Trace;

namespace {

// A table the IP helper fills after telling its size; the loop covers a table that grows in between.
template <class Query>
bool FillTable(std::vector<unsigned char>& buffer, Query query, const wchar_t* function)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        ULONG size = static_cast<ULONG>(buffer.size());
        DWORD status = query(buffer.empty() ? nullptr : buffer.data(), &size);
        if (status == ERROR_SUCCESS) return true;
        if (status != ERROR_BUFFER_OVERFLOW) {
            // An empty list is not worth a trace line.
            if (status != ERROR_NO_DATA) Trace::WriteLine(String::Format(L"%s failed (error %lu)", function, status));
            return false;
        }
        buffer.assign(size, 0);
    }
    Trace::WriteLine(String::Format(L"%s kept asking for a larger buffer", function));
    return false;
}

// The helper's texts are in the system's code page.
String Text(const char* text, size_t capacity)
{
    int length = static_cast<int>(strnlen(text, capacity));
    if (length == 0) return String();
    int wide = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (wide <= 0) return String();
    std::wstring converted(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, converted.data(), wide);
    return String(std::move(converted));
}

String Text(const IP_ADDRESS_STRING& address) { return Text(address.String, sizeof address.String); }

std::vector<String> DnsServersOf(DWORD adapterIndex)
{
    std::vector<String> servers;
    std::vector<unsigned char> buffer;
    bool filled = FillTable(
        buffer,
        [adapterIndex](unsigned char* data, ULONG* size) {
            return GetPerAdapterInfo(adapterIndex, reinterpret_cast<IP_PER_ADAPTER_INFO*>(data), size);
        },
        L"GetPerAdapterInfo");
    if (!filled) return servers;
    const auto* info = reinterpret_cast<const IP_PER_ADAPTER_INFO*>(buffer.data());
    for (const IP_ADDR_STRING* server = &info->DnsServerList; server; server = server->Next) {
        servers.push_back(Text(server->IpAddress));
    }
    return servers;
}

}  // namespace

System::Array<NetwrokInfo*> GetNetworkAdapters()
{
    std::vector<unsigned char> buffer;
    bool filled = FillTable(
        buffer,
        [](unsigned char* data, ULONG* size) { return GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(data), size); },
        L"GetAdaptersInfo");
    if (!filled) return System::Array<NetwrokInfo*>();

    std::vector<std::unique_ptr<NetwrokInfo>> adapters;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); adapter; adapter = adapter->Next) {
        auto info = std::make_unique<NetwrokInfo>();
        info->description = Text(adapter->Description, sizeof adapter->Description);
        info->ipAddress = Text(adapter->IpAddressList.IpAddress);
        info->subnetMask = Text(adapter->IpAddressList.IpMask);
        info->gateway = Text(adapter->GatewayList.IpAddress);
        info->dnsServers = DnsServersOf(adapter->Index);
        adapters.push_back(std::move(info));
    }
    std::vector<NetwrokInfo*> result;
    for (auto& adapter : adapters) result.push_back(adapter.release());
    return System::Array<NetwrokInfo*>(std::move(result));
}

System::Array<String> GetDnsServers()
{
    std::vector<std::unique_ptr<NetwrokInfo>> owned;
    System::Array<NetwrokInfo*> adapters = GetNetworkAdapters();
    for (NetwrokInfo* adapter : adapters) owned.emplace_back(adapter);
    return GetDnsServers(adapters);
}

System::Array<String> GetDnsServers(const System::Array<NetwrokInfo*>& adapters)
{
    std::vector<String> servers;
    for (const NetwrokInfo* adapter : adapters) {
        for (const String& server : adapter->dnsServers) {
            if (!server.IsEmpty() && std::find(servers.begin(), servers.end(), server) == servers.end()) servers.push_back(server);
        }
    }
    return System::Array<String>(std::move(servers));
}
