#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/Exception.h"
#include "html/Page.h"
#include "html/ResourceLoader.h"
#include "html/tools/ToolOptions.h"

namespace {

// No resources: the generated pages are self-contained.
class NoResources : public Html::ResourceLoader {
public:
    bool Load(const std::wstring&, std::string&) override { return false; }
};

// A page of about `elements` elements: rows of a table, blocks with inline text (Korean and
// Latin), absolute badges, mixed as the suite's pages are.
std::string MakePage(int elements)
{
    std::string page =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><style>"
        "body{margin:0;font-family:Dotum;font-size:12px} .item{padding:2px;border-bottom:1px solid #ccc}"
        ".item span{color:#336} .badge{position:absolute;right:4px;top:0;width:20px;height:10px;background:#f80}"
        "td{padding:2px} .box{position:relative}"
        "</style></head><body>";
    int made = 0;
    int index = 0;
    while (made < elements) {
        if (index % 10 == 9) {
            page += "<table width=\"100%\" cellspacing=\"0\"><tr><td>셀 A</td><td width=\"40\">B</td></tr></table>";
            made += 4;
        } else {
            page += "<div class=\"item box\" id=\"i" + std::to_string(index) +
                    "\"><span>항목 " + std::to_string(index) +
                    "</span> 시스템 정보를 보여 줍니다 and some text to wrap <div class=\"badge\"></div></div>";
            made += 3;
        }
        ++index;
    }
    page += "</body></html>";
    return page;
}

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct PaintCost {
    double seconds = 0;
    int boxes = 0;
    int runs = 0;
};

// The average time of painting one area, and how many boxes and text runs one paint drew.
PaintCost TimePaint(Html::Page& page, HDC dc, const Html::Rect& area, int rounds, const LARGE_INTEGER& frequency)
{
    PaintCost cost;
    page.SetPaintObserver(
        [&cost](const Html::Node& node, const Html::Rect&) { ++(node.IsText() ? cost.runs : cost.boxes); });
    page.Paint(dc, area, area.x, area.y);
    page.SetPaintObserver(nullptr);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int round = 0; round < rounds; ++round) page.Paint(dc, area, area.x, area.y);
    QueryPerformanceCounter(&end);
    cost.seconds = Seconds(start, end, frequency) / rounds;
    return cost;
}

// A host repaints the small rectangle it invalidated; that must not cost a paint of the page.
void ComparePartialPaint(HDC dc, const LARGE_INTEGER& frequency)
{
    Html::Page page;
    page.Load(MakePage(10000), std::make_unique<NoResources>());
    page.SetViewport(800, 600);
    int height = page.ContentHeight();
    PaintCost whole = TimePaint(page, dc, Html::Rect{0, 0, 800, height}, 3, frequency);
    PaintCost part = TimePaint(page, dc, Html::Rect{20, height / 2, 100, 30}, 300, frequency);
    printf("page of %d px: whole %8.2f ms (%d boxes, %d text runs), 100 x 30 area %8.4f ms (%d boxes, %d text runs)\n",
           height, whole.seconds * 1000.0, whole.boxes, whole.runs, part.seconds * 1000.0, part.boxes, part.runs);
    printf("partial paint: %.4fx the whole page's time\n", part.seconds / whole.seconds);
}

}  // namespace

int wmain()
{
    ComApartment com;
    if (!com.Ok()) return 1;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 800, -600, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap) {
        fprintf(stderr, "Could not make the drawing surface (%lu)\n", GetLastError());
        return 1;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const int sizes[] = {100, 1000, 10000};
    double times[3] = {};
    int result = 0;
    try {
        for (int run = 0; run < 3; ++run) {
            Html::Page page;
            page.Load(MakePage(sizes[run]), std::make_unique<NoResources>());
            page.SetViewport(800, 600);
            page.Paint(dc, Html::Rect{0, 0, 800, 600});
            const int rounds = 5;
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            for (int round = 0; round < rounds; ++round) {
                // A new width forces a full layout; the dialog then paints what its client area shows.
                page.SetViewport(round % 2 ? 800 : 640, 600);
                page.Paint(dc, Html::Rect{0, 0, 800, 600});
            }
            QueryPerformanceCounter(&end);
            times[run] = Seconds(start, end, frequency) / rounds;
            printf("%6d elements: layout and paint %8.2f ms\n", sizes[run], times[run] * 1000.0);
        }
        printf("growth 100 -> 1000: %.1fx (linear would be 10x)\n", times[1] / times[0]);
        printf("growth 1000 -> 10000: %.1fx (linear would be 10x)\n", times[2] / times[1]);
        ComparePartialPaint(dc, frequency);
    } catch (System::Exception* error) {
        fwprintf(stderr, L"%ls\n", error->ToString().GetStdString().c_str());
        delete error;
        result = 1;
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}
