// An add-on whose dialog template is missing, so its export deletes the dialog and returns null.
#include "console/tests/addons/AddonProbe.h"
#include "console/tests/addons/TestAddonResources.h"
#include "framework/CDialog.h"
#include "shell/AddonExport.h"

namespace {

class TemplateLessDialog : public CDialog {
public:
    explicit TemplateLessDialog(CWnd* parent) : CDialog(IDD_ABSENT, parent) { AddonProbe::DialogConstructed(); }
    ~TemplateLessDialog() override { AddonProbe::DialogDestroyed(); }
};

}  // namespace

VT_EXPORT_DIALOG(TemplateLessDialog, IDD_ABSENT)
