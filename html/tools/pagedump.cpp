#include <windows.h>

#include <cstdio>
#include <string>

#include "core/Exception.h"
#include "core/String.h"
#include "html/Page.h"
#include "html/tools/ToolOptions.h"

namespace {

std::string Json(const std::wstring& text)
{
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += L'\\';
            out += c;
        } else if (c < 0x20) {
            wchar_t escape[8];
            swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    out += L'"';
    return System::String(out).ToUtf8();
}

void Dump(const Html::Node& node)
{
    if (node.IsText() || !node.IsDisplayed()) return;
    if (const std::wstring* id = node.FindAttribute(L"id")) {
        const Html::Rect& box = node.Box().border;
        printf("{\"id\":%s,\"tag\":%s,\"x\":%d,\"y\":%d,\"w\":%d,\"h\":%d}\n", Json(*id).c_str(),
               Json(node.Tag()).c_str(), box.x, box.y, box.width, box.height);
    }
    for (const auto& child : node.Children()) Dump(*child);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    ToolOptions options;
    if (!options.Parse(argc, argv, 1, L"usage: pagedump [--width W] [--height H] FILE.xhtml")) return 2;
    ComApartment com;
    if (!com.Ok()) {
        fwprintf(stderr, L"COM could not be initialised\n");
        return 1;
    }
    try {
        Html::Page page;
        page.LoadFromFile(options.files[0]);
        page.SetViewport(options.width, options.height);
        page.Update();
        Dump(*page.GetDocument().Root());
    } catch (System::Exception* error) {
        fwprintf(stderr, L"%ls\n", error->ToString().GetStdString().c_str());
        delete error;
        return 1;
    }
    return 0;
}
