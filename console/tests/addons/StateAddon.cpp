// A plain dialog exported the way of the add-ons that switch to their own module state.
#include "console/tests/addons/AddonProbe.h"
#include "console/tests/addons/TestAddonResources.h"
#include "framework/CDialog.h"
#include "shell/AddonExport.h"

namespace {

class StateAddonDialog : public CDialog {
public:
    explicit StateAddonDialog(CWnd* parent) : CDialog(IDD_STATE_ADDON, parent) { AddonProbe::DialogConstructed(); }
    ~StateAddonDialog() override { AddonProbe::DialogDestroyed(); }

    BOOL OnInitDialog() override
    {
        AddonProbe::RecordResourceHandleAtInit();
        return CDialog::OnInitDialog();
    }
};

}  // namespace

VT_EXPORT_DIALOG_WITH_MODULE_STATE(StateAddonDialog, IDD_STATE_ADDON)
