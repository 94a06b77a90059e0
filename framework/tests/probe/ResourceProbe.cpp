// An add-on-like library whose dialog template exists only in its own resources, created the two
// ways the add-ons switch the framework to their resources.
#include "framework/CDialog.h"
#include "framework/ModuleState.h"
#include "framework/tests/FrameworkTestResources.h"

namespace {

HINSTANCE seenResourceHandle = nullptr;

class ProbeDialog : public CDialog {
public:
    BOOL OnInitDialog() override
    {
        seenResourceHandle = AfxGetResourceHandle();
        return CDialog::OnInitDialog();
    }
};

}  // namespace

// Sets the current resource handle to this library for the call.
extern "C" __declspec(dllexport) CWnd* ProbeCreateWithResourceHandle(CWnd* parent)
{
    HINSTANCE saved = AfxGetResourceHandle();
    AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(&__ImageBase));
    auto* dialog = new ProbeDialog();
    if (!dialog->Create(IDD_PROBE, parent)) {
        delete dialog;
        dialog = nullptr;
    }
    AfxSetResourceHandle(saved);
    return dialog;
}

// Switches to this library's module state for the call and adds it to the resource chain.
extern "C" __declspec(dllexport) CWnd* ProbeCreateWithModuleState(CWnd* parent)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxAddResourceModule(reinterpret_cast<HINSTANCE>(&__ImageBase));
    auto* dialog = new ProbeDialog();
    if (!dialog->Create(IDD_PROBE, parent)) {
        delete dialog;
        dialog = nullptr;
    }
    return dialog;
}

extern "C" __declspec(dllexport) HINSTANCE ProbeSeenResourceHandle() { return seenResourceHandle; }
