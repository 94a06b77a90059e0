#include "shell/AddonExport.h"
#include "sysinfo/addon/SystemInfoViewerDlg.h"

VT_EXPORT_DIALOG(CSystemInfoViewerDlg, CSystemInfoViewerDlg::TemplateId)
