#pragma once

// The add-on side of VtCreateDialog, the one export through which the console gets a tool's dialog.
// An add-on library names its dialog class and template once, in one of its source files:
//
//     VT_EXPORT_DIALOG(SweeperDlg, IDD_SWEEPER)
//
// The dialog class takes the parent in its constructor. The dialog is created modeless from the
// add-on's own template with the console as owner; the console deletes it through CWnd's virtual
// destructor at the end of its run, which is sound because every module shares vtframework.dll.

#include <windows.h>

#include <memory>

#include "framework/CWnd.h"
#include "framework/ModuleState.h"

namespace AddonExport {

// The module this header is compiled into: the add-on library.
inline HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// Makes the add-on's module the framework's resource module for a scope, then restores the
// caller's.
class ResourceHandleScope {
public:
    ResourceHandleScope() : saved_(AfxGetResourceHandle()) { AfxSetResourceHandle(ThisModule()); }
    ~ResourceHandleScope() { AfxSetResourceHandle(saved_); }
    ResourceHandleScope(const ResourceHandleScope&) = delete;
    ResourceHandleScope& operator=(const ResourceHandleScope&) = delete;

private:
    HINSTANCE saved_;
};

// The dialog created as a window, or null (with the object deleted) when creation failed.
template <class Dialog>
CWnd* CreateAddonDialog(CWnd* parent, UINT templateId)
{
    std::unique_ptr<Dialog> dialog(new Dialog(parent));
    if (!dialog->Create(templateId, parent)) return nullptr;
    return dialog.release();
}

}  // namespace AddonExport

// Exports VtCreateDialog with the add-on's module as the framework's resource handle for the call.
#define VT_EXPORT_DIALOG(DialogClass, templateId)                                \
    extern "C" __declspec(dllexport) CWnd* VtCreateDialog(CWnd* parent)         \
    {                                                                            \
        AddonExport::ResourceHandleScope addonResources;                         \
        return AddonExport::CreateAddonDialog<DialogClass>(parent, templateId);  \
    }

// Exports VtCreateDialog switched to the add-on's module state for the call, with the add-on's
// module also in the framework's resource chain, so that resources it loads later are found too.
#define VT_EXPORT_DIALOG_WITH_MODULE_STATE(DialogClass, templateId)              \
    extern "C" __declspec(dllexport) CWnd* VtCreateDialog(CWnd* parent)         \
    {                                                                            \
        AFX_MANAGE_STATE(AfxGetStaticModuleState());                             \
        AfxAddResourceModule(AddonExport::ThisModule());                         \
        return AddonExport::CreateAddonDialog<DialogClass>(parent, templateId);  \
    }
