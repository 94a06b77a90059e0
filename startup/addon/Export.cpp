#include "shell/AddonExport.h"
#include "startup/addon/CVelaSpannerDlg.h"

VT_EXPORT_DIALOG(CVelaSpannerDlg, CVelaSpannerDlg::TemplateId)
