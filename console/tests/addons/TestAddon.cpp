// A tool as the suite's add-ons are: an HTML dialog on its own page, whose back arrow returns to
// the console, exported the way of the add-ons that set the framework's resource handle.
#include "console/tests/addons/AddonProbe.h"
#include "console/tests/addons/TestAddonResources.h"
#include "shell/AddonExport.h"
#include "shell/CDHtmlDialogEx.h"

namespace {

class TestAddonDialog : public CDHtmlDialogEx {
public:
    explicit TestAddonDialog(CWnd* parent) : CDHtmlDialogEx(IDD_TEST_ADDON, IDR_TEST_ADDON_PAGE, parent)
    {
        AddonProbe::DialogConstructed();
    }
    ~TestAddonDialog() override { AddonProbe::DialogDestroyed(); }

    BOOL OnInitDialog() override
    {
        AddonProbe::RecordResourceHandleAtInit();
        return CDHtmlDialogEx::OnInitDialog();
    }

    HRESULT OnBack(Html::Node*)
    {
        if (m_pParentWnd) m_pParentWnd->SendMessage(WM_ADDON_BACK);
        return S_OK;
    }

    DECLARE_DHTML_EVENT_MAP()
};

BEGIN_DHTML_EVENT_MAP(TestAddonDialog)
DHTML_EVENT_ONCLICK(L"BtnPrevious", OnBack)
DHTML_EVENT_TAG_ALL(Html::EventType::SelectStart, OnSelectStart)
DHTML_EVENT_TAG_ALL(Html::EventType::DragStart, OnDragStart)
END_DHTML_EVENT_MAP()

}  // namespace

VT_EXPORT_DIALOG(TestAddonDialog, IDD_TEST_ADDON)
