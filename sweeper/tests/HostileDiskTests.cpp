// A sweep of a folder full of what real disks hold and careless walks trip over, in a sandbox of
// its own: links out of it, deep and long paths, names the Win32 path rules bend, protected and
// busy files and a folder that cannot be listed.
#include <windows.h>

#include <gtest/gtest.h>
#include <sddl.h>

#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/UniqueResource.h"
#include "sweeper/FileSweeper.h"
#include "testing/FolderLink.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

const std::wstring Extended = L"\\\\?\\";

struct Item {
    bool folder = false;
    uint32_t attributes = 0;
    int64_t size = 0;
    uint64_t contentHash = 0;
};

uint64_t Fnv(const void* data, size_t size, uint64_t hash = 14695981039346656037ull)
{
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211ull;
    return hash;
}

uint64_t HashContent(const std::wstring& path)
{
    System::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (!file) return GetLastError();
    uint64_t hash = Fnv("", 0);
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) hash = Fnv(buffer, read, hash);
    return hash;
}

// Every item below root by its path relative to root, never entering links; a folder that cannot
// be listed is an item without content. skip names a subtree left out.
void Walk(const std::wstring& root, const std::wstring& relative, const std::wstring& skip, bool hashContent,
          std::map<std::wstring, Item>& items)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = relative + L"\\" + name;
        if (path == skip) continue;
        Item item;
        item.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.attributes = data.dwFileAttributes;
        item.size = item.folder ? 0 : static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        if (hashContent && !item.folder) item.contentHash = HashContent(root + path);
        items[path] = item;
        if (item.folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Walk(root, path, skip, hashContent, items);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

uint64_t TreeHash(const std::map<std::wstring, Item>& items)
{
    uint64_t hash = Fnv("", 0);
    for (const auto& entry : items) {
        hash = Fnv(entry.first.data(), entry.first.size() * sizeof(wchar_t), hash);
        hash = Fnv(&entry.second.attributes, sizeof entry.second.attributes, hash);
        hash = Fnv(&entry.second.size, sizeof entry.second.size, hash);
        hash = Fnv(&entry.second.contentHash, sizeof entry.second.contentHash, hash);
    }
    return hash;
}

class HostileDiskTest : public ::testing::Test {
protected:
    HostileDiskTest() : root_(Extended + sandbox_.Path()) {}
    ~HostileDiskTest() override
    {
        if (child_ && TerminateProcess(child_.Get(), 0)) WaitForSingleObject(child_.Get(), 5000);
        if (!unlistable_.empty()) AllowListing(unlistable_);
        // The host's own removal never follows a link; the Win32 one would empty a link's target.
        std::wstring host = TestSupport::HostNameOf(sandbox_.Path());
        bool isSandbox = host.find(L"/vela-test-") != std::wstring::npos;
        if (!isSandbox || !TestSupport::RunHostShell(L"rm -rf '" + host + L"'")) TestSupport::DeleteTree(root_);
    }

    // A file through its extended-length path, so that its name reaches the disk as written.
    void File(const std::wstring& relative, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        System::UniqueHandle file(CreateFileW((root_ + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              attributes, nullptr));
        ASSERT_TRUE(file) << "error " << GetLastError();
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    void Folder(const std::wstring& relative) { ASSERT_TRUE(CreateDirectoryW((root_ + relative).c_str(), nullptr)) << GetLastError(); }
    bool Exists(const std::wstring& relative) const { return GetFileAttributesW((root_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES; }

    // A file held open without sharing by another process: a suspended copy of this program gets
    // the handle and keeps it until the test ends.
    void HoldOpenElsewhere(const std::wstring& relative)
    {
        wchar_t self[MAX_PATH + 1] = {};
        ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                                   &startup, &started));
        child_.Reset(started.hProcess);
        CloseHandle(started.hThread);
        HANDLE file = CreateFileW((root_ + relative).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        HANDLE held = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), file, child_.Get(), &held, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));
    }

    // A folder the system cannot list: on Windows through an access entry that denies listing;
    // under Wine through its Unix mode or, where that does not bind (a root user), through a
    // chain of folders made on the host whose deepest one lies beyond the host's longest path.
    bool RefuseListing(const std::wstring& relative)
    {
        std::wstring path = sandbox_.Path() + relative;
        if (!TestSupport::IsWine()) {
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;0x1;;;WD)(A;;FA;;;WD)", SDDL_REVISION_1,
                                                                      &descriptor, nullptr)) {
                return false;
            }
            BOOL set = SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor);
            LocalFree(descriptor);
            unlistable_ = path;
            return set && !CanList(path);
        }
        std::wstring host = TestSupport::HostNameOf(path);
        if (!TestSupport::RunHostShell(L"chmod 000 '" + host + L"'")) return false;
        unlistable_ = path;
        if (!CanList(path)) return true;
        AllowListing(path);
        unlistable_.clear();
        std::wstring chain;
        for (int level = 0; level < 17; ++level) chain += (level ? L"/" : L"") + std::wstring(250, L'z');
        return TestSupport::RunHostShell(L"cd '" + host + L"' && mkdir -p " + chain);
    }
    static bool CanList(const std::wstring& path)
    {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
        return find != INVALID_HANDLE_VALUE;
    }
    static void AllowListing(const std::wstring& path)
    {
        if (TestSupport::IsWine()) {
            TestSupport::RunHostShell(L"chmod 755 '" + TestSupport::HostNameOf(path) + L"'");
        } else {
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
                SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor);
                LocalFree(descriptor);
            }
        }
    }

    std::map<std::wstring, Item> Outside() const
    {
        std::map<std::wstring, Item> items;
        Walk(root_, L"", L"\\target", true, items);
        return items;
    }
    std::map<std::wstring, Item> Target() const
    {
        std::map<std::wstring, Item> items;
        Walk(root_ + L"\\target", L"", L"", false, items);
        return items;
    }

    TestSupport::TempFolder sandbox_;
    const std::wstring root_;
    System::UniqueHandle child_;
    std::wstring unlistable_;
};

}  // namespace

TEST_F(HostileDiskTest, SweepRemovesWhatItCountsLeavesTheOutsideAsItWasAndGoesOnPastWhatItCannotRemove)
{
    // Outside the swept folder: link targets and a sibling whose name begins like the target's.
    Folder(L"\\outside");
    Folder(L"\\outside\\linked");
    File(L"\\outside\\linked\\keep.txt", "kept in the linked folder");
    File(L"\\outside\\linked-file.txt", "kept behind the file link");
    Folder(L"\\target2");
    File(L"\\target2\\keep.txt", "sibling");
    Folder(L"\\target");

    // Each case: its items, and the ones a sweep must leave (with their folders).
    struct Case {
        const char* name;
        std::vector<std::wstring> left;
    };
    std::vector<Case> cases;
    // Where a link cannot be told from its target on delete (Wine), it stays; elsewhere it goes.
    const bool linksStay = TestSupport::IsWine();
    if (TestSupport::MakeFolderLink(sandbox_ / L"outside\\linked", sandbox_ / L"target\\folder-link",
                                    TestSupport::FolderLinkKind::SymbolicLink)) {
        cases.push_back({"folder link to the outside", {}});
        if (linksStay) cases.back().left = {L"\\folder-link"};
    }
    if (TestSupport::MakeFileLink(sandbox_ / L"outside\\linked-file.txt", sandbox_ / L"target\\file-link.txt")) {
        cases.push_back({"file link to the outside", {}});
        if (linksStay) cases.back().left = {L"\\file-link.txt"};
    }
    ASSERT_TRUE(cases.size() == 2 || !TestSupport::IsWine()) << "Wine makes both links";

    std::wstring deep = L"\\target\\deep";
    Folder(deep);
    for (int level = 0; level < 200; ++level) {
        deep += L"\\n";
        Folder(deep);
    }
    File(deep + L"\\bottom.txt", std::string(200, 'd'));
    cases.push_back({"200 levels of folders", {}});

    std::wstring longPath = L"\\target\\" + std::wstring(120, L'l');
    Folder(longPath);
    longPath += L"\\" + std::wstring(120, L'm');
    Folder(longPath);
    File(longPath + L"\\" + std::wstring(60, L'f') + L".txt", std::string(300, 'l'));
    ASSERT_GT(sandbox_.Path().size() + longPath.size(), 260u);
    cases.push_back({"path over 260 characters", {}});
    if (TestSupport::MakeFileLink(sandbox_ / L"outside\\linked-file.txt", sandbox_.Path() + longPath + L"\\link.txt")) {
        cases.push_back({"file link to the outside at a path over 260 characters", {}});
        if (linksStay) cases.back().left = {longPath.substr(7) + L"\\link.txt"};
    }

    Folder(L"\\target\\names");
    File(L"\\target\\names\\dot.", "1");
    File(L"\\target\\names\\dot", "22");
    File(L"\\target\\names\\space ", "333");
    File(L"\\target\\names\\both. .", "4444");
    Folder(L"\\target\\names\\folder.");
    File(L"\\target\\names\\folder.\\inner.txt", "55555");
    cases.push_back({"names with trailing dots and spaces", {}});

    Folder(L"\\target\\devices");
    for (const wchar_t* name : {L"CON", L"NUL", L"PRN", L"AUX", L"COM1", L"LPT1", L"nul.txt", L"com9.log"}) {
        File(std::wstring(L"\\target\\devices\\") + name, "device name");
    }
    cases.push_back({"reserved device names", {}});

    Folder(L"\\target\\scripts");
    for (const wchar_t* name : {L"Ελληνικά.txt", L"Русский.txt", L"中文文件.txt", L"日本語ファイル.txt", L"עברית.txt",
                                L"العربية.txt", L"ไทย.txt", L"हिन्दी.txt", L"\U0001F600.txt"}) {
        File(std::wstring(L"\\target\\scripts\\") + name, "script");
    }
    cases.push_back({"names in other scripts", {}});

    File(L"\\target\\read-only.txt", std::string(7, 'r'), FILE_ATTRIBUTE_READONLY);
    // A read-only file is the user's word to keep it: it stays, counted.
    cases.push_back({"read-only file", {L"\\read-only.txt"}});
    File(L"\\target\\hidden.txt", std::string(8, 'h'), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    cases.push_back({"hidden system file", {}});

    Folder(L"\\target\\busy");
    File(L"\\target\\busy\\held.txt", std::string(9, 'b'));
    File(L"\\target\\busy\\free.txt", std::string(10, 'f'));
    HoldOpenElsewhere(L"\\target\\busy\\held.txt");
    cases.push_back({"file held open by another process", {L"\\busy\\held.txt"}});

    Folder(L"\\target\\closed");
    File(L"\\target\\closed\\inside.txt", std::string(11, 'c'));
    bool refused = RefuseListing(L"\\target\\closed");
    if (refused) cases.push_back({"folder that refuses listing", {L"\\closed"}});

    std::map<std::wstring, Item> outsideBefore = Outside();
    std::map<std::wstring, Item> before = Target();

    FileSweeper sweeper(L"Temp", String(sandbox_ / L"target"));
    sweeper.Reset(false);
    sweeper.Run(false);
    const int32_t foundCount = sweeper.GetCount();
    const int64_t foundBytes = sweeper.GetSize();
    sweeper.Reset(true);
    sweeper.Run(true);
    EXPECT_EQ(sweeper.GetProgress(), 100);

    std::map<std::wstring, Item> after = Target();
    int32_t removedCount = 0;
    int64_t removedBytes = 0;
    for (const auto& entry : before) {
        if (after.count(entry.first)) continue;
        ++removedCount;
        removedBytes += entry.second.size;
    }
    EXPECT_EQ(foundCount - sweeper.GetCount(), removedCount) << "items the sweep reports removed";
    EXPECT_EQ(foundBytes - sweeper.GetSize(), removedBytes) << "bytes the sweep reports removed";

    // What stays is what each case must leave, and the folders holding it.
    std::map<std::wstring, bool> expected;
    for (const Case& item : cases) {
        for (const std::wstring& left : item.left) {
            for (size_t end = left.size(); end != 0 && end != std::wstring::npos; end = left.rfind(L'\\', end - 1)) {
                expected[left.substr(0, end)] = true;
            }
        }
    }
    for (const auto& entry : after) {
        bool underUnlistable = refused && entry.first.compare(0, 8, L"\\closed\\") == 0;
        EXPECT_TRUE(expected.count(entry.first) || underUnlistable)
            << "left by the sweep: " << String(entry.first).ToUtf8();
    }
    for (const auto& entry : expected) {
        EXPECT_TRUE(after.count(entry.first)) << "removed: " << String(entry.first).ToUtf8();
    }

    std::map<std::wstring, Item> outsideAfter = Outside();
    EXPECT_EQ(TreeHash(outsideBefore), TreeHash(outsideAfter));
    EXPECT_EQ(outsideBefore.size(), outsideAfter.size());
    EXPECT_GE(outsideAfter.size(), 5u);

    std::cout << "hostile disk: " << cases.size() << " hostile cases swept, 0 outside changes (" << outsideAfter.size()
              << " outside items hashed); " << removedCount << " of " << before.size() << " items removed ("
              << removedBytes << " bytes), " << after.size() << " left, as reported" << std::endl;
    for (const Case& item : cases) std::cout << "  " << item.name << std::endl;
}
