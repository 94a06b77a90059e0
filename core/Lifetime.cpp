#include "core/Lifetime.h"

#include <objbase.h>

#include <vector>

#include "core/Trace.h"

namespace {

// One entry per PoInitialize: whether its COM initialisation needs undoing.
std::vector<bool>& Initialisations()
{
    static std::vector<bool> initialisations;
    return initialisations;
}

}  // namespace

void PoInitialize()
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Initialisations().push_back(SUCCEEDED(result));
}

void PoFinalize()
{
    auto& initialisations = Initialisations();
    if (initialisations.empty()) return;
    bool undoCom = initialisations.back();
    initialisations.pop_back();
    if (initialisations.empty()) {
        System::Diagnostics::Trace::Flush();
        System::Diagnostics::Trace::Listeners()->Clear();
    }
    if (undoCom) CoUninitialize();
}
