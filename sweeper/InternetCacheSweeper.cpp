#include "sweeper/InternetCacheSweeper.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

using System::String;

namespace {

// One enumeration of the cache with one buffer that grows to the largest entry. The cookie and
// history patterns are written as the cache's own prefixes are, which a case-sensitive matcher needs.
class UrlCacheEnumeration {
public:
    explicit UrlCacheEnumeration(const wchar_t* pattern) : buffer_(4096)
    {
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer_.size());
            find_.Reset(FindFirstUrlCacheEntryW(pattern, Entry(), &size));
            if (find_) return;
            DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_ITEMS) return;
            if (error != ERROR_INSUFFICIENT_BUFFER) Microsoft::Win32::Win32Exception::Throw(error, L"Cannot list the URL cache");
            buffer_.resize(size > buffer_.size() ? size : buffer_.size() * 2);
        }
    }

    // The current entry, or null when the enumeration has ended.
    INTERNET_CACHE_ENTRY_INFOW* Current() { return find_ && !ended_ ? Entry() : nullptr; }

    void MoveNext()
    {
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer_.size());
            if (FindNextUrlCacheEntryW(find_.Get(), Entry(), &size)) return;
            // An entry larger than those before it grows the buffer rather than ending the list.
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer_.size()) {
                ended_ = true;
                return;
            }
            buffer_.resize(size);
        }
    }

private:
    INTERNET_CACHE_ENTRY_INFOW* Entry() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer_.data()); }

    std::vector<uint64_t> buffer_;
    System::UniqueUrlCacheFindHandle find_;
    bool ended_ = false;
};

}  // namespace

InternetCacheSweeper::InternetCacheSweeper(const String& name, int mode) : CountingSweeper(name), mode_(mode)
{
    if (mode < 0 || mode > 2) throw new System::ArgumentOutOfRangeException(L"mode");
}

void InternetCacheSweeper::Run(bool sweep)
{
    static const wchar_t* const patterns[] = {L"normal:", L"Cookie:", L"Visited:"};
    counters_.Reset(true);
    SetDone(false);
    // Cached pages exclude cookies whatever the enumeration returns.
    auto skipped = [this](const INTERNET_CACHE_ENTRY_INFOW* entry) {
        return mode_ == 0 && entry->lpszSourceUrlName && String(entry->lpszSourceUrlName).StartsWith(L"Cookie:", true);
    };

    {
        UrlCacheEnumeration counting(patterns[mode_]);
        for (auto* entry = counting.Current(); entry; counting.MoveNext(), entry = counting.Current()) {
            if (!skipped(entry)) counters_.AddToProcess(1);
        }
    }

    UrlCacheEnumeration removal(patterns[mode_]);
    for (auto* entry = removal.Current(); entry; removal.MoveNext(), entry = removal.Current()) {
        if (skipped(entry)) continue;
        System::TraceExceptions([&] {
            int64_t size = static_cast<int64_t>(entry->dwSizeHigh) << 32 | entry->dwSizeLow;
            if (sweep) DeleteUrlCacheEntryW(entry->lpszSourceUrlName);
            counters_.Count(sweep, size);
        });
        counters_.AddProcessed();
        RaiseProgress();
    }
    RaiseProgress();
    SetDone(true);
    RaiseCompleted();
}

int64_t InternetCacheSweeper::GetSize() const { return counters_.GetFoundBytes() < 0 ? 0 : counters_.GetFoundBytes(); }
int32_t InternetCacheSweeper::GetCount() const { return counters_.GetFound() < 0 ? 0 : counters_.GetFound(); }
