#include "activex/ActiveXEntry.h"

#include <windows.h>

#include <cstdlib>
#include <string>

using System::String;

namespace {

// The text in the process code page, as the feed's numbers have always been read.
std::string Narrow(const String& text)
{
    if (text.IsEmpty()) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.GetBuffer(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.GetBuffer(), text.GetLength(), narrow.data(), size, nullptr, nullptr) != size)
        return std::string();
    return narrow;
}

System::DateTime UpdatedTime(const String& text)
{
    int64_t ticks = _atoi64(Narrow(text).c_str());
    if (ticks < 0 || ticks > System::DateTime::MaxTicks) ticks = 0;
    return System::DateTime(ticks);
}

}  // namespace

ActiveXEntry::ActiveXEntry(const String& title, const String& description, const String& author, const String& name,
                           const String& clsid, const String& dscr, const String& type, const String& rating,
                           const String& updated, const KillBits& killBits)
    : title_(title), description_(description), author_(author), name_(name), clsid_(clsid), dscr_(dscr), type_(type),
      rating_(atoi(Narrow(rating).c_str())), updated_(UpdatedTime(updated)), killBits_(&killBits)
{
    blocked_ = killBits_->IsBlocked(clsid_) ? 1 : 0;
}

String ActiveXEntry::RatingText(int32_t rating)
{
    switch (rating) {
    case -2: return L"매우 위험";
    case -1: return L"위험";
    case 0: return L"보통";
    case 1: return L"안전";
    case 2: return L"필수";
    default: return String();
    }
}

int32_t ActiveXEntry::Block()
{
    if (blocked_ == 1 || !killBits_->Block(clsid_)) return 0;
    blocked_ = 1;
    return 1;
}

int32_t ActiveXEntry::Unblock()
{
    if (blocked_ == 0 || !killBits_->Unblock(clsid_)) return 0;
    blocked_ = 0;
    return 1;
}

int32_t ActiveXEntry::Toggle() { return blocked_ ? Unblock() : Block(); }

std::vector<ActiveXEntry*> FindUnblockedDangerous(const std::vector<ActiveXEntry*>& entries)
{
    std::vector<ActiveXEntry*> dangerous;
    for (ActiveXEntry* entry : entries) {
        if (entry->IsDangerous() && !entry->IsBlocked()) dangerous.push_back(entry);
    }
    return dangerous;
}
