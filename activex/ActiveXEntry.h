#pragma once

#include <cstdint>
#include <vector>

#include "activex/KillBits.h"
#include "core/DateTime.h"
#include "core/Object.h"
#include "core/String.h"

// One ActiveX control of the information feed and whether its kill bit is set on this machine.
// The blocked state is read once, at construction, and then changed only through Block and
// Unblock, so changes made elsewhere are seen at the next load of the feed.
class ActiveXEntry : public System::Object {
public:
    // rating and updated are the feed's decimal texts: anything that is not a number reads as 0,
    // and a tick count outside the calendar as the start of year 1. killBits must outlive the entry.
    ActiveXEntry(const System::String& title, const System::String& description, const System::String& author,
                 const System::String& name, const System::String& clsid, const System::String& dscr,
                 const System::String& type, const System::String& rating, const System::String& updated,
                 const KillBits& killBits = KillBits::Default());

    const System::String& GetTitle() const { return title_; }
    const System::String& GetDescription() const { return description_; }
    const System::String& GetAuthor() const { return author_; }
    const System::String& GetName() const { return name_; }
    const System::String& GetClsid() const { return clsid_; }
    const System::String& GetDscr() const { return dscr_; }
    const System::String& GetType() const { return type_; }
    int32_t GetRating() const { return rating_; }
    const System::DateTime& GetUpdated() const { return updated_; }

    // "매우 위험" to "필수" for -2 to 2, empty for any other rating.
    static System::String RatingText(int32_t rating);
    System::String GetRatingText() const { return RatingText(rating_); }
    bool IsDangerous() const { return rating_ < 0; }

    int32_t IsBlocked() const { return blocked_; }
    // False when the class identifier cannot name a registry key: such an entry is listed but
    // never blocked or unblocked.
    bool CanChangeBlock() const { return KillBits::IsRegistryClassId(clsid_); }
    // 1 when it set the kill bit; 0 when it was set already or cannot be set (no parent key, or
    // an identifier that is not a class identifier).
    int32_t Block();
    // 1 when it removed the class's key; 0 when the entry was not blocked.
    int32_t Unblock();
    // Unblocks a blocked entry and blocks any other; the result of the call made.
    int32_t Toggle();

    System::String ToString() const override { return title_; }

private:
    System::String title_;
    System::String description_;
    System::String author_;
    System::String name_;
    System::String clsid_;
    System::String dscr_;
    System::String type_;
    int32_t rating_ = 0;
    System::DateTime updated_;
    int32_t blocked_ = 0;
    const KillBits* killBits_;
};

// The entries with a negative rating whose kill bit is not set, in list order: those the
// dangerous-control question offers to block.
std::vector<ActiveXEntry*> FindUnblockedDangerous(const std::vector<ActiveXEntry*>& entries);
