#include "process/addon/CProcessManagerDlg.h"
#include "shell/AddonExport.h"

VT_EXPORT_DIALOG(CProcessManagerDlg, CProcessManagerDlg::TemplateId)
