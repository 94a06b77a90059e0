#include "framework/CImageList.h"

#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/TemporaryMap.h"

namespace {

using ImageListTemporaries = AfxTemporaryMap<CImageList, HIMAGELIST, &CImageList::m_hImageList>;

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

CImageList* CImageList::FromHandle(HIMAGELIST list)
{
    if (!list) return nullptr;
    return AfxThreadTemporaryMap<ImageListTemporaries>().Find(list, [] { return new CImageList(); });
}

void CImageList::DeleteTempMap() { AfxThreadTemporaryMap<ImageListTemporaries>().Clear(); }

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow)
{
    return !m_hImageList && Attach(ImageList_Create(width, height, flags, initial, grow));
}

BOOL CImageList::Attach(HIMAGELIST list)
{
    if (!list || m_hImageList) return FALSE;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList) return FALSE;
    return ImageList_Destroy(Detach());
}

int CImageList::GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }

int CImageList::Add(CBitmap* bitmap, CBitmap* mask)
{
    if (!m_hImageList || !bitmap) return -1;
    return ImageList_Add(m_hImageList, *bitmap, mask ? static_cast<HBITMAP>(*mask) : nullptr);
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColor)
{
    if (!m_hImageList || !bitmap) return -1;
    return ImageList_AddMasked(m_hImageList, *bitmap, maskColor);
}

int CImageList::Add(HICON icon)
{
    if (!m_hImageList || !icon) return -1;
    return ImageList_AddIcon(m_hImageList, icon);
}

BOOL CImageList::GetImageInfo(int image, IMAGEINFO* info) const
{
    return m_hImageList && info && ImageList_GetImageInfo(m_hImageList, image, info);
}

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT style)
{
    if (!m_hImageList || !dc) return FALSE;
    return ImageList_Draw(m_hImageList, image, dc->GetSafeHdc(), point.x, point.y, style);
}
