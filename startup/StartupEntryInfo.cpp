#include "startup/StartupEntryInfo.h"

#include "core/Dictionary.h"

namespace {

System::Dictionary<System::String, StartupEntryInfo*>& Table()
{
    static System::Dictionary<System::String, StartupEntryInfo*> table(64);
    return table;
}

}  // namespace

void ProgramInfoTable::Add(StartupEntryInfo* info)
{
    if (!info) throw new System::ArgumentNullException(L"info");
    StartupEntryInfo* earlier = nullptr;
    if (Table().TryGetValue(info->GetName(), earlier)) delete earlier;
    Table().Set(info->GetName(), info);
}

const StartupEntryInfo* ProgramInfoTable::Find(const System::String& name)
{
    StartupEntryInfo* info = nullptr;
    Table().TryGetValue(name, info);
    return info;
}

int ProgramInfoTable::GetCount() { return Table().GetCount(); }

void ProgramInfoTable::Clear()
{
    for (const auto& entry : Table()) delete entry.value;
    Table().Clear();
}
