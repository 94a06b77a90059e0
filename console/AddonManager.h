#pragma once

#include "console/Addon.h"
#include "core/Array.h"
#include "core/LinkedList.h"
#include "core/Object.h"
#include "core/String.h"

// The catalogue of tools, read once from "vtaddons3.xml" and owned for the whole run.
class AddonManager : public System::Object {
public:
    // Reads the catalogue beside the console's executable.
    AddonManager();
    // Reads the catalogue in folder. A missing or bad catalogue never raises: the list then holds
    // whatever was read before the problem.
    explicit AddonManager(const System::String& folder);
    ~AddonManager() override;
    AddonManager(const AddonManager&) = delete;
    AddonManager& operator=(const AddonManager&) = delete;

    // The first tool with exactly this id; ArgumentException when there is none.
    Addon* GetAddon(const System::String& id) const;
    // A copy of the list in catalogue order; the array does not own the tools.
    System::Array<Addon*> GetAddons() const;

private:
    void ReadCatalogue(const System::String& folder);

    System::LinkedList<Addon*> addons_;
};
