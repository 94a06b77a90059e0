#pragma once

#include <objidl.h>

#include <vector>

#include "activex/ActiveXEntry.h"
#include "activex/KillBits.h"
#include "core/Array.h"
#include "core/DateTime.h"
#include "core/String.h"

// The information server's feed of known ActiveX controls: downloaded at start into vaaxm.dat
// (Int32 length and the body), loaded through the startup manager's fetch, parsed into entries.
class ActiveXFeed {
public:
    static const wchar_t* const AllCategory;
    static const wchar_t* const GeneralCategory;
    static const wchar_t* const NewCategory;

    // The information server's address from the deployment settings, with "/net/ActiveXRSS.aspx".
    static System::String GetDefaultUrl();
    // "vaaxm.dat" in the suite's data folder.
    static System::String GetDefaultCachePath();

    // Entries read the kill bits of killBits, which must outlive the feed.
    explicit ActiveXFeed(const KillBits& killBits = KillBits::Default());
    ~ActiveXFeed();
    ActiveXFeed(const ActiveXFeed&) = delete;
    ActiveXFeed& operator=(const ActiveXFeed&) = delete;

    // Replaces the cache with a fresh copy of the feed. A failure is traced only, and leaves the
    // cache of an earlier run whole, so the load that follows still has it.
    static void DownloadAtStart(const System::String& url = GetDefaultUrl(),
                                const System::String& cachePath = GetDefaultCachePath());

    // Drops the entries of the previous load and reads the cached feed (downloading it when
    // nothing is cached); no feed at all is shown through the startup manager's failure notice
    // and leaves no entries. Returns the number of entries.
    int Load(const System::String& url = GetDefaultUrl(), const System::String& cachePath = GetDefaultCachePath());
    // Appends one entry per "item" of the document; a malformed or cut document stops at the
    // error, keeping the items completed before it. Returns the number appended.
    int Parse(IStream* stream, const System::String& baseUri);

    const std::vector<ActiveXEntry*>& GetEntries() const { return entries_; }
    const System::DateTime& GetLoadTime() const { return loadTime_; }

    // The distinct non-empty types of the entries, in order of first appearance.
    System::Array<System::String> GetDistinctTypes() const;
    // The category pane's nodes: "전체", "일반", the other types, and "새로 추가된 항목" when the
    // entries have at least one type.
    std::vector<System::String> GetCategories() const;

    // Midnight seven days before today's date.
    static System::DateTime NewCutoff(const System::DateTime& today);
    static bool IsNewlyAdded(const ActiveXEntry& entry, const System::DateTime& today = System::DateTime::GetToday());

private:
    void Clear();

    const KillBits* killBits_;
    std::vector<ActiveXEntry*> entries_;
    System::DateTime loadTime_;
};
