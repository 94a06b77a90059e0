// The collected figures against what the machine itself reports. Under Wine the host's own files
// (reached through Z:, the Linux root, only read here) tell the memory, processor and host name
// that Wine passes through; on Windows there is no second witness and the test is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "sysinfo/SysInfo.h"
#include "sysinfo/SystemTexts.h"
#include "testing/TestPrefixGuard.h"

namespace {

std::string HostFile(const char* path)
{
    std::ifstream file(std::string("Z:") + path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The value after "name<blanks>:" on the first line that starts with name.
std::string Field(const std::string& text, const std::string& name)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, name.size(), name) != 0) continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t start = line.find_first_not_of(" \t", colon + 1);
        return start == std::string::npos ? std::string() : line.substr(start);
    }
    return std::string();
}

std::string Trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return std::string();
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

TEST(MachineTest, MemoryProcessorAndComputerNameAreThoseTheHostReports)
{
    if (!TestSupport::IsWine()) GTEST_SKIP() << "compares with the Linux host that Wine runs on";
    std::string meminfo = HostFile("/proc/meminfo");
    std::string cpuinfo = HostFile("/proc/cpuinfo");
    std::string hostname = Trimmed(HostFile("/proc/sys/kernel/hostname"));
    ASSERT_FALSE(meminfo.empty());
    ASSERT_FALSE(hostname.empty());

    CSysInfo info;
    info.Collect();

    double hostBytes = std::stod(Field(meminfo, "MemTotal")) * 1024.0;
    ASSERT_GT(hostBytes, 0.0);
    double collected = static_cast<double>(info.GetTotalPhysicalMemory());
    EXPECT_LT(std::fabs(collected - hostBytes) / hostBytes, 0.01)
        << "collected " << collected << " bytes, the host has " << hostBytes;
    EXPECT_GT(info.GetTotalPageFile(), 0u);

    std::string model = Trimmed(Field(cpuinfo, "model name"));
    if (!model.empty()) {
        EXPECT_EQ(Trimmed(info.GetProcessorText().ToUtf8()), model);
    }
    EXPECT_FALSE(info.GetProcessorText().StartsWith(L" ")) << "leading blanks are trimmed";

    // Windows names the computer by the host name up to its first dot, in capitals, 15 at most.
    std::string expected = Upper(hostname.substr(0, hostname.find('.'))).substr(0, MAX_COMPUTERNAME_LENGTH);
    EXPECT_EQ(Upper(GetComputerNameText().ToUtf8()), expected);

    wchar_t user[256];
    DWORD length = 256;
    ASSERT_TRUE(GetUserNameW(user, &length));
    EXPECT_EQ(info.GetUserNameText().GetStdString(), user);
}
