// The storage and network blocks of the general tab, from prepared drives and adapters.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "sysinfo/addon/SummaryBlocks.h"

namespace {

using System::String;

DriveInfo Drive(const wchar_t* name, const wchar_t* type, const wchar_t* label, uint64_t total = 0)
{
    DriveInfo drive;
    drive.name = name;
    drive.type = type;
    drive.label = label;
    drive.totalBytes = total;
    return drive;
}

NetwrokInfo Adapter(const wchar_t* description, const wchar_t* address, const wchar_t* mask)
{
    NetwrokInfo adapter;
    adapter.description = description;
    adapter.ipAddress = address;
    adapter.subnetMask = mask;
    return adapter;
}

// The row classes in order, and the label and value of every row as "label=value".
std::vector<std::string> Matches(const std::string& markup, const std::string& pattern)
{
    std::vector<std::string> found;
    std::regex expression(pattern);
    for (auto match = std::sregex_iterator(markup.begin(), markup.end(), expression); match != std::sregex_iterator(); ++match) {
        found.push_back((*match)[1].str() + ((*match).size() > 2 ? "=" + (*match)[2].str() : std::string()));
    }
    return found;
}

std::vector<std::string> RowClasses(const String& markup) { return Matches(markup.ToUtf8(), "class=\"(contents0[12])\""); }

std::vector<std::string> Rows(const String& markup)
{
    return Matches(markup.ToUtf8(), "<div class=\"left\">([^<]*)</div><div class=\"right\">(.*?)</div></div>");
}

}  // namespace

TEST(SummaryBlocksTest, SplitsFixedFromOtherDrivesAndAlternatesRowsByPositionAmongAllDrives)
{
    DriveInfo c = Drive(L"C:", L"로컬 고정 드라이브", L"System", 1073741824ULL * 80);
    DriveInfo d = Drive(L"D:", L"DVD 드라이브", L"없음");
    DriveInfo e = Drive(L"E:", L"로컬 고정 드라이브", L"Data", 1073741823ULL);
    DriveInfo f = Drive(L"F:", L"이동식 드라이브", L"USB");
    std::vector<const DriveInfo*> drives = {&c, &d, &e, &f};

    String fixed = SummaryBlocks::DriveRows(drives, true);
    EXPECT_EQ(Rows(fixed), (std::vector<std::string>{"드라이브 이름=C:", "볼륨 이름=System", "용량=80.0 GB",
                                                      "드라이브 이름=E:", "볼륨 이름=Data", "용량=1024.0 MB"}));
    // C: and E: stand at the even positions 0 and 2.
    EXPECT_EQ(RowClasses(fixed), (std::vector<std::string>{"contents02", "contents01", "contents02", "contents02",
                                                            "contents01", "contents02"}));

    String other = SummaryBlocks::DriveRows(drives, false);
    EXPECT_EQ(Rows(other), (std::vector<std::string>{"드라이브 이름=D:", "볼륨 이름=없음", "설명=DVD 드라이브",
                                                      "드라이브 이름=F:", "볼륨 이름=USB", "설명=이동식 드라이브"}));
    EXPECT_EQ(RowClasses(other), (std::vector<std::string>{"contents01", "contents02", "contents01", "contents01",
                                                            "contents02", "contents01"}));
}

TEST(SummaryBlocksTest, SystemTextsGoInAsTextNeverAsMarkup)
{
    DriveInfo d = Drive(L"D:", L"CD-ROM 드라이브", L"<b>x</b> & <img src=\"y\" />");
    String other = SummaryBlocks::DriveRows({&d}, false);
    EXPECT_NE(other.IndexOf(L"&lt;b&gt;x&lt;/b&gt; &amp; &lt;img src=\"y\" /&gt;"), -1) << other.ToUtf8();
    EXPECT_EQ(other.IndexOf(L"<b>"), -1);
    EXPECT_EQ(other.IndexOf(L"<img"), -1);

    NetwrokInfo adapter = Adapter(L"<i>NIC</i>", L"10.0.0.2", L"255.0.0.0");
    SummaryBlocks::NetworkBlock block = SummaryBlocks::NetworkRows({&adapter}, {L"<script>"});
    EXPECT_NE(block.markup.IndexOf(L"<div class=\"head\">&lt;i&gt;NIC&lt;/i&gt;</div>"), -1) << block.markup.ToUtf8();
    EXPECT_EQ(block.markup.IndexOf(L"<script>"), -1);
}

TEST(SummaryBlocksTest, AdapterWithoutAddressIsListedButGivesNoIpInfo)
{
    NetwrokInfo unplugged = Adapter(L"Unplugged", L"0.0.0.0", L"0.0.0.0");
    SummaryBlocks::NetworkBlock alone = SummaryBlocks::NetworkRows({&unplugged}, {});
    EXPECT_TRUE(alone.ipInfo.IsEmpty());
    EXPECT_EQ(Rows(alone.markup), (std::vector<std::string>{"IP 주소=0.0.0.0", "IP 서브넷=0.0.0.0", "DNS 주소="}));
    EXPECT_NE(alone.markup.IndexOf(L"<div class=\"head\">Unplugged</div>"), -1);

    // An address needs its mask too; the first adapter with both gives IPInfo.
    NetwrokInfo maskless = Adapter(L"Half", L"192.168.0.9", L"0.0.0.0");
    NetwrokInfo wired = Adapter(L"Wired", L"192.168.0.10", L"255.255.255.0");
    NetwrokInfo wireless = Adapter(L"Wireless", L"10.1.1.5", L"255.255.0.0");
    SummaryBlocks::NetworkBlock block =
        SummaryBlocks::NetworkRows({&unplugged, &maskless, &wired, &wireless}, {L"192.168.0.1", L"8.8.8.8"});
    EXPECT_EQ(block.ipInfo.ToUtf8(), "192.168.0.10");
    EXPECT_EQ(RowClasses(block.markup), (std::vector<std::string>{"contents01", "contents02", "contents01", "contents02",
                                                                  "contents01", "contents02", "contents01", "contents02",
                                                                  "contents01"}));
    std::vector<std::string> rows = Rows(block.markup);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows.back(), "DNS 주소=192.168.0.1<br />8.8.8.8");
}
