#include "sweeper/ui/NTTreeListCtrl.h"

void NTTreeListCtrl::OnRowClicked(CTreeItem* item)
{
    BOOL tick = GetTick(item);
    for (int index = 0; index < item->GetChildCount(); ++index) SetTick(item->GetChild(index), tick);
    if (tick && item->GetParent()) SetTick(item->GetParent(), TRUE);
}
