#include "process/addon/CProcessManagerDlg.h"
#include "shell/AddonExport.h"

// With the add-on in the resource chain: the detail sheet's pages are loaded long after
// VtCreateDialog has returned.
VT_EXPORT_DIALOG_WITH_MODULE_STATE(CProcessManagerDlg, CProcessManagerDlg::TemplateId)
