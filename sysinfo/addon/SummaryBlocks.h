#pragma once

#include <vector>

#include "core/String.h"
#include "sysinfo/Drives.h"
#include "sysinfo/NetworkAdapters.h"

// The inner markup of the general tab's storage and network blocks. Every text that comes from the
// system goes in as text: a label "<b>x</b>" shows those characters.
namespace SummaryBlocks {

// Rows of the fixed drives ("drive name", "volume name", "capacity"), or with fixed false of every
// other drive ("drive name", "volume name", "description"). Row classes alternate by the drive's
// position among all drives.
System::String DriveRows(const std::vector<const DriveInfo*>& drives, bool fixed);

struct NetworkBlock {
    System::String markup;
    // The address of the first adapter whose address and mask are both set; empty when none is.
    System::String ipInfo;
};

// A head and two rows per adapter, then one row of every DNS address.
NetworkBlock NetworkRows(const std::vector<const NetwrokInfo*>& adapters, const std::vector<System::String>& dnsServers);

}  // namespace SummaryBlocks
