#include "shell/AddonExport.h"
#include "sweeper/addon/SweeperDlg.h"

VT_EXPORT_DIALOG(SweeperDlg, SweeperDlg::TemplateId)
