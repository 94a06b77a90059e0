#include "patch/addon/PatchManagerDlg.h"
#include "shell/AddonExport.h"

VT_EXPORT_DIALOG(PatchManagerDlg, PatchManagerDlg::TemplateId)
