#pragma once

#include <vector>

#include "core/Array.h"
#include "core/String.h"

// One network adapter as the summary shows it (the class name is spelled so throughout the suite).
struct NetwrokInfo {
    System::String description;
    // The adapter's first address and its mask; "0.0.0.0" when it has none.
    System::String ipAddress;
    System::String subnetMask;
    System::String gateway;
    std::vector<System::String> dnsServers;
};

// Every adapter, in the platform's order. The caller owns the records.
System::Array<NetwrokInfo*> GetNetworkAdapters();
// The non-empty DNS server addresses of all adapters, adapter by adapter, each address once: the
// platform reports its one list of servers for every adapter.
System::Array<System::String> GetDnsServers();
System::Array<System::String> GetDnsServers(const System::Array<NetwrokInfo*>& adapters);
