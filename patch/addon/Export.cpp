#include "patch/addon/PatchManagerDlg.h"
#include "shell/AddonExport.h"

// With the add-on in the resource chain: the licence and notice dialogs are loaded long after
// VtCreateDialog has returned.
VT_EXPORT_DIALOG_WITH_MODULE_STATE(PatchManagerDlg, PatchManagerDlg::TemplateId)
