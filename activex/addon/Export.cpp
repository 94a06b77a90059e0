#include "activex/addon/ActiveXManagerDlg.h"
#include "shell/AddonExport.h"

VT_EXPORT_DIALOG(ActiveXManagerDlg, ActiveXManagerDlg::TemplateId)
