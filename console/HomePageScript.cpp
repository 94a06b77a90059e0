#include "console/HomePageScript.h"

#include <string>
#include <vector>

#include "html/Node.h"
#include "html/Page.h"

namespace {

using Html::Node;

const wchar_t kSectionPrefix[] = L"section_";

Node* AppendElement(Node& parent, const wchar_t* tag, const wchar_t* className = nullptr)
{
    Node* child = parent.AppendChild(Node::CreateElement(parent.GetDocument(), tag));
    if (className) child->SetClassName(className);
    return child;
}

void AppendText(Node& parent, const std::wstring& text)
{
    parent.AppendChild(Node::CreateText(parent.GetDocument(), text));
}

bool IsRowGroup(const Node& node)
{
    return node.Tag() == L"tbody" || node.Tag() == L"thead" || node.Tag() == L"tfoot";
}

int RowCount(const Node& table)
{
    int count = 0;
    for (const auto& child : table.Children()) {
        if (child->Tag() == L"tr") ++count;
        if (!IsRowGroup(*child)) continue;
        for (const auto& row : child->Children()) {
            if (row->Tag() == L"tr") ++count;
        }
    }
    return count;
}

Node* TableWithoutSpacing(Node& parent, const wchar_t* className)
{
    Node* table = AppendElement(parent, L"table", className);
    table->SetAttribute(L"cellspacing", L"0");
    table->SetAttribute(L"cellpadding", L"0");
    return table;
}

// The row of a section's tool cells: the one row of its inner "tools" table.
Node* ToolRow(Node& node)
{
    if (node.Tag() == L"tr" && node.HasClass(L"tool_row")) return &node;
    for (const auto& child : node.Children()) {
        if (Node* row = ToolRow(*child)) return row;
    }
    return nullptr;
}

void AddSection(Html::Page& page, const std::wstring& id, const std::wstring& name)
{
    if (page.GetElementById(kSectionPrefix + id)) return;
    Node* sections = page.GetElementById(L"section");
    if (!sections) return;
    // The first section starts the table; every later one gets a line above it and the grey band.
    bool later = RowCount(*sections) % 4 != 0;
    if (later) {
        Node* line = sections->AppendTableRow();
        line->SetClassName(L"section_line");
        Node* cell = line->AppendTableCell();
        cell->SetStyleProperty(L"height", L"2px");
        cell->SetStyleProperty(L"background-image", L"url(images/bg_line.gif)");
    }
    Node* cell = sections->AppendTableRow()->AppendTableCell();
    cell->SetClassName(L"section_cell");
    if (later) cell->SetStyleProperty(L"background-image", L"url(images/bg_gray.gif)");

    Node* section = TableWithoutSpacing(*cell, L"section_table");
    section->SetId(kSectionPrefix + id);
    Node* title = section->AppendTableRow()->AppendTableCell();
    title->SetClassName(L"section_name");
    AppendText(*AppendElement(*title, L"b"), name);
    Node* tools = TableWithoutSpacing(*section->AppendTableRow()->AppendTableCell(), L"tools");
    tools->AppendTableRow()->SetClassName(L"tool_row");
}

void AddAddon(Html::Page& page, const std::wstring& sectionId, const std::wstring& id, const std::wstring& name,
              const std::wstring& description, const std::wstring& image)
{
    Node* section = page.GetElementById(kSectionPrefix + sectionId);
    if (!section) return;
    Node* row = ToolRow(*section);
    if (!row) return;
    Node* cell = row->AppendTableCell();
    cell->SetClassName(L"tool");
    cell->SetAttribute(L"width", L"75");

    Node* icon = AppendElement(*AppendElement(*cell, L"a"), L"img");
    icon->SetId(L"addon");
    icon->SetClassName(id);
    icon->SetAttribute(L"title", description);
    icon->SetAttribute(L"src", image);
    icon->SetAttribute(L"width", L"48");
    icon->SetAttribute(L"height", L"48");

    AppendElement(*cell, L"br");
    Node* label = AppendElement(*cell, L"span");
    label->SetId(L"addon_link");
    label->SetClassName(id);
    AppendText(*label, name);
}

// Page functions receive what the caller gave; a missing argument reads as empty.
std::wstring Argument(const std::vector<std::wstring>& arguments, size_t index)
{
    return index < arguments.size() ? arguments[index] : std::wstring();
}

}  // namespace

void RegisterHomePageScript(Html::Page& page)
{
    Html::Page* target = &page;
    page.Scripts().Register(L"add_section", [target](const std::vector<std::wstring>& arguments) {
        AddSection(*target, Argument(arguments, 0), Argument(arguments, 1));
    });
    page.Scripts().Register(L"add_addon", [target](const std::vector<std::wstring>& arguments) {
        AddAddon(*target, Argument(arguments, 0), Argument(arguments, 1), Argument(arguments, 2),
                 Argument(arguments, 3), Argument(arguments, 4));
    });
}
