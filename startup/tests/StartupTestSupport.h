#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/BinaryWriter.h"
#include "core/Exception.h"
#include "core/String.h"
#include "startup/StartupEntryInfo.h"
#include "startup/StartupStore.h"
#include "testing/ScratchRegistryKey.h"
#include "testing/TempFolder.h"
#include "vdwin32/Autorun.h"

namespace StartupTestSupport {

using Vela::Win32::Autoruns::AutorunLocation;

// An autorun group of the same shape as "Logon", over a scratch registry key and a temporary
// folder, so a test sees only its own registrations.
class IsolatedLogon {
public:
    IsolatedLogon()
        : group_(L"Logon", {Values(L"Logon.AllUser.Registry.Run", L"MachineRun"),
                            Value(L"Logon.AllUser.Registry.Shell", L"Shell"),
                            Value(L"Logon.AllUser.Registry.UserInit", L"Userinit"),
                            Values(L"Logon.CurrentUser.Registry.Run", L"UserRun"),
                            Folder(L"Logon.AllUser.Startup", L"CommonStartup"),
                            Folder(L"Logon.CurrentUser.Startup", L"UserStartup")})
    {
        CreateDirectoryW(StartupFolder(true).c_str(), nullptr);
        CreateDirectoryW(StartupFolder(false).c_str(), nullptr);
        CreateDirectoryW(DataFolder().c_str(), nullptr);
    }

    Vela::Win32::Autoruns::Autorun* Group() { return &group_; }
    std::wstring DataFolder() const { return folder_ / L"data"; }
    std::wstring StartupFolder(bool common) const { return folder_ / (common ? L"CommonStartup" : L"UserStartup"); }
    std::wstring KeyPath(const wchar_t* subKey) const { return key_.Path() + L"\\" + subKey; }

    // Writes a Run value: machine-wide when machine is set (both live under the scratch key).
    void SetRun(bool machine, const System::String& name, const System::String& data, DWORD kind = REG_SZ)
    {
        SetValue(machine ? L"MachineRun" : L"UserRun", name, data, kind);
    }
    void SetValue(const wchar_t* subKey, const System::String& name, const System::String& data, DWORD kind = REG_SZ)
    {
        ASSERT_EQ(RegSetKeyValueW(key_.Handle(), subKey, name.GetBuffer(), kind, data.GetBuffer(),
                                  static_cast<DWORD>((data.GetLength() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    // The data of a Run value, or "<missing>".
    std::wstring GetRun(bool machine, const std::wstring& name) const
    {
        wchar_t buffer[1024] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        if (RegGetValueW(key_.Handle(), machine ? L"MachineRun" : L"UserRun", name.c_str(),
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size) != ERROR_SUCCESS)
            return L"<missing>";
        return buffer;
    }
    void DeleteRun(bool machine, const std::wstring& name)
    {
        RegDeleteKeyValueW(key_.Handle(), machine ? L"MachineRun" : L"UserRun", name.c_str());
    }

private:
    AutorunLocation Values(const wchar_t* domain, const wchar_t* subKey)
    {
        AutorunLocation location;
        location.kind = AutorunLocation::RegistryKeyValues;
        location.domain = domain;
        location.root = HKEY_CURRENT_USER;
        location.subKey = System::String(KeyPath(subKey).c_str());
        return location;
    }
    AutorunLocation Value(const wchar_t* domain, const wchar_t* valueName)
    {
        AutorunLocation location = Values(domain, L"Winlogon");
        location.kind = AutorunLocation::RegistryValue;
        location.valueName = valueName;
        return location;
    }
    AutorunLocation Folder(const wchar_t* domain, const wchar_t* name)
    {
        AutorunLocation location;
        location.kind = AutorunLocation::Folder;
        location.domain = domain;
        location.folder = System::String((folder_ / name).c_str());
        return location;
    }

    TestSupport::ScratchRegistryKey key_;
    TestSupport::TempFolder folder_;
    Vela::Win32::Autoruns::Autorun group_;
};

// Owns the entries of an array or list for the length of a test.
class OwnedEntries {
public:
    explicit OwnedEntries(const System::Array<StartupEntry*>& entries)
    {
        for (StartupEntry* entry : entries) list_.Add(entry);
    }
    ~OwnedEntries() { DestroyEntries(list_); }
    System::List<StartupEntry*>& List() { return list_; }
    StartupEntry* Find(const System::String& name) const
    {
        for (StartupEntry* entry : list_)
            if (entry->GetName() == name) return entry;
        return nullptr;
    }
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (StartupEntry* entry : list_) names.push_back(entry->GetName().GetStdString());
        return names;
    }

private:
    System::List<StartupEntry*> list_;
};

// A registration whose record breaks off half-way, as a full disk or a crash would leave it.
class FailingAutorunEntry : public Vela::Win32::Autoruns::AutorunEntry {
public:
    FailingAutorunEntry() : AutorunEntry(L"Logon.CurrentUser.Registry.Run", L"Failing", L"", L"") {}
    void Register() override {}
    void Unregister() override {}
    void SerializeObject(System::IO::Stream* stream) override
    {
        System::IO::BinaryWriter writer(stream);
        writer.WriteInt32(1);
        writer.WriteInt32(1);
        throw new System::IO::IOException(L"There is not enough space on the disk.");
    }
};

// Empties the process-wide program information table around a test.
class ProgramInfoScope {
public:
    ProgramInfoScope() { ProgramInfoTable::Clear(); }
    ~ProgramInfoScope() { ProgramInfoTable::Clear(); }
};

}  // namespace StartupTestSupport
