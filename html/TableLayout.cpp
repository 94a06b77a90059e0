#include <algorithm>

#include "html/BoxGeometry.h"
#include "html/LayoutEngine.h"

namespace Html {

namespace {

struct Cell {
    Node* node;
    int column;
    int span;
};

struct Grid {
    std::vector<Node*> rows;
    std::vector<std::vector<Cell>> cells;
    std::vector<Node*> groups;
    int columns = 0;
};

Grid BuildGrid(Node& table)
{
    Grid grid;
    auto addRow = [&grid](Node& row) {
        grid.rows.push_back(&row);
        grid.cells.emplace_back();
        int column = 0;
        for (const auto& child : row.Children()) {
            if (child->IsText() || child->Style().display == Display::None) continue;
            int span = std::max(1, std::min(1000, _wtoi(child->GetAttribute(L"colspan").c_str())));
            grid.cells.back().push_back(Cell{child.get(), column, span});
            column += span;
        }
        grid.columns = std::max(grid.columns, column);
    };
    for (const auto& child : table.Children()) {
        if (child->IsText() || child->Style().display == Display::None) continue;
        if (child->Style().display == Display::TableRowGroup) {
            grid.groups.push_back(child.get());
            for (const auto& row : child->Children()) {
                if (!row->IsText() && row->Style().display != Display::None) addRow(*row);
            }
        } else if (child->Style().display == Display::TableRow) {
            addRow(*child);
        }
    }
    return grid;
}

struct Columns {
    std::vector<int> min;
    std::vector<int> max;
    std::vector<int> fixed;      // specified pixel width of the border box, or -1
    std::vector<float> percent;  // specified percentage, or -1
};

// Spreads the part of a spanning cell's need that its columns do not already cover.
void Spread(std::vector<int>& widths, int first, int span, int need)
{
    int have = 0;
    for (int column = first; column < first + span; ++column) have += widths[column];
    if (need <= have) return;
    int extra = need - have;
    for (int column = first; column < first + span; ++column) {
        int part = extra / span + (column - first < extra % span ? 1 : 0);
        widths[column] += part;
    }
}

}  // namespace

LayoutEngine::Widths LayoutEngine::TableWidths(Node& table)
{
    Grid grid = BuildGrid(table);
    const ComputedStyle& style = table.Style();
    ComputeEdges(table, 0);
    int edges = table.Box().borderWidth.Horizontal() + table.Box().padding.Horizontal();
    int spacing = style.borderSpacing;
    std::vector<int> min(grid.columns, 0), max(grid.columns, 0);
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& row : grid.cells) {
            for (const Cell& cell : row) {
                if ((pass == 0) != (cell.span == 1)) continue;
                Widths widths = Intrinsic(*cell.node);
                int gaps = spacing * (cell.span - 1);
                Spread(min, cell.column, cell.span, widths.min - gaps);
                Spread(max, cell.column, cell.span, std::max(widths.min, widths.max) - gaps);
            }
        }
    }
    Widths widths;
    for (int column = 0; column < grid.columns; ++column) {
        widths.min += min[column];
        widths.max += std::max(min[column], max[column]);
    }
    int around = edges + (grid.columns > 0 ? spacing * (grid.columns + 1) : 0);
    widths.min += around;
    widths.max += around;
    if (style.width.unit == Length::Unit::Px) widths.min = widths.max = std::max(widths.min, style.width.Resolve(0));
    return widths;
}

int LayoutEngine::LayoutTable(Node& table, int x, int y, const Containing& containing)
{
    const ComputedStyle& style = table.Style();
    LayoutBox& box = table.MutableBox();
    Grid grid = BuildGrid(table);
    int spacing = style.borderSpacing;
    int edges = box.borderWidth.Horizontal() + box.padding.Horizontal();
    int columnsCount = grid.columns;
    int gaps = columnsCount > 0 ? spacing * (columnsCount + 1) : 0;

    Columns columns;
    columns.min.assign(columnsCount, 0);
    columns.max.assign(columnsCount, 0);
    columns.fixed.assign(columnsCount, -1);
    columns.percent.assign(columnsCount, -1);
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& row : grid.cells) {
            for (const Cell& cell : row) {
                if ((pass == 0) != (cell.span == 1)) continue;
                Widths widths = Intrinsic(*cell.node);
                int between = spacing * (cell.span - 1);
                Spread(columns.min, cell.column, cell.span, widths.min - between);
                Spread(columns.max, cell.column, cell.span, std::max(widths.min, widths.max) - between);
                const Length& width = cell.node->Style().width;
                if (cell.span == 1 && width.unit == Length::Unit::Px) {
                    columns.fixed[cell.column] = std::max(columns.fixed[cell.column], widths.max);
                } else if (cell.span == 1 && width.IsPercent()) {
                    columns.percent[cell.column] = std::max(columns.percent[cell.column], width.value);
                }
            }
        }
    }
    int minTotal = 0, maxTotal = 0;
    for (int column = 0; column < columnsCount; ++column) {
        if (columns.fixed[column] >= 0) columns.max[column] = std::max(columns.min[column], columns.fixed[column]);
        columns.max[column] = std::max(columns.max[column], columns.min[column]);
        minTotal += columns.min[column];
        maxTotal += columns.max[column];
    }
    int available = containing.width - box.margin.Horizontal();
    int used;
    bool specified = !style.width.IsAuto();
    if (specified) {
        used = std::max(style.width.Resolve(containing.width), minTotal + gaps + edges);
    } else {
        used = std::max(minTotal + gaps + edges, std::min(available, maxTotal + gaps + edges));
    }
    int target = std::max(0, used - gaps - edges);

    std::vector<int> widths(columnsCount, 0);
    if (style.fixedTableLayout && specified && !grid.cells.empty()) {
        int assigned = 0, open = 0;
        for (int column = 0; column < columnsCount; ++column) columns.fixed[column] = -1;
        for (const Cell& cell : grid.cells.front()) {
            const Length& width = cell.node->Style().width;
            if (cell.span != 1 || width.IsAuto()) continue;
            const LayoutBox& cellBox = cell.node->Box();
            ComputeEdges(*cell.node, target);
            int cellEdges = cellBox.borderWidth.Horizontal() + cellBox.padding.Horizontal();
            columns.fixed[cell.column] = width.IsPercent() ? width.Resolve(target) : width.Resolve(0) + cellEdges;
        }
        for (int column = 0; column < columnsCount; ++column) {
            if (columns.fixed[column] >= 0) {
                widths[column] = columns.fixed[column];
                assigned += widths[column];
            } else {
                ++open;
            }
        }
        int rest = std::max(0, target - assigned);
        for (int column = 0, seen = 0; column < columnsCount; ++column) {
            if (columns.fixed[column] >= 0) continue;
            widths[column] = rest / open + (seen++ < rest % open ? 1 : 0);
        }
    } else {
        int remaining = target;
        for (int column = 0; column < columnsCount; ++column) {
            if (columns.percent[column] < 0) continue;
            widths[column] = std::max(columns.min[column], static_cast<int>(columns.percent[column] * target / 100));
            remaining -= widths[column];
        }
        int sumMin = 0, sumMax = 0;
        std::vector<int> others;
        for (int column = 0; column < columnsCount; ++column) {
            if (columns.percent[column] >= 0) continue;
            others.push_back(column);
            sumMin += columns.min[column];
            sumMax += columns.max[column];
        }
        if (remaining <= sumMin) {
            for (int column : others) widths[column] = columns.min[column];
        } else if (remaining <= sumMax) {
            long long span = sumMax - sumMin;
            for (int column : others) {
                widths[column] = columns.min[column] +
                                 static_cast<int>((columns.max[column] - columns.min[column]) *
                                                  static_cast<long long>(remaining - sumMin) / std::max(1LL, span));
            }
        } else {
            std::vector<int> growing;
            for (int column : others) {
                widths[column] = columns.max[column];
                if (columns.fixed[column] < 0) growing.push_back(column);
            }
            if (growing.empty()) growing = others;
            if (growing.empty()) {
                for (int column = 0; column < columnsCount; ++column) growing.push_back(column);
            }
            int extra = remaining - sumMax;
            long long weight = 0;
            for (int column : growing) weight += widths[column];
            for (int column : growing) {
                widths[column] += weight > 0 ? static_cast<int>(extra * static_cast<long long>(widths[column]) / weight)
                                             : extra / static_cast<int>(growing.size());
            }
        }
        int total = 0;
        for (int width : widths) total += width;
        if (columnsCount > 0 && total < target && (specified || total < maxTotal)) {
            widths[columnsCount - 1] += target - total;
        }
    }

    if (style.margin[3].IsAuto() && style.margin[1].IsAuto()) {
        box.margin.left = std::max(0, (containing.width - used) / 2);
        box.margin.right = std::max(0, containing.width - used - box.margin.left);
    }
    box.border = Rect{x + box.margin.left, y, used, 0};
    int contentX = box.border.x + box.borderWidth.left + box.padding.left;
    int contentY = y + box.borderWidth.top + box.padding.top;
    std::vector<int> columnX(columnsCount + 1, contentX + spacing);
    for (int column = 1; column <= columnsCount; ++column) {
        columnX[column] = columnX[column - 1] + widths[column - 1] + spacing;
    }

    std::vector<int> rowHeights(grid.rows.size(), 0);
    std::vector<int> provisional(grid.rows.size(), 0);
    int rowY = contentY + spacing;
    for (size_t row = 0; row < grid.rows.size(); ++row) {
        provisional[row] = rowY;
        const ComputedStyle& rowStyle = grid.rows[row]->Style();
        int height = rowStyle.height.unit == Length::Unit::Px ? rowStyle.height.Resolve(0) : 0;
        for (const Cell& cell : grid.cells[row]) {
            int cellWidth = columnX[cell.column + cell.span] - columnX[cell.column] - spacing;
            Containing inside{columnX[cell.column], rowY, cellWidth, -1};
            LayoutBlock(*cell.node, columnX[cell.column], rowY, inside, cellWidth);
            height = std::max(height, cell.node->Box().border.height);
        }
        rowHeights[row] = height;
        rowY += height + spacing;
    }
    int contentHeight = grid.rows.empty() ? 0 : rowY - contentY;
    if (style.height.unit == Length::Unit::Px || (style.height.IsPercent() && containing.height >= 0)) {
        int wanted = style.height.Resolve(std::max(0, containing.height)) - box.borderWidth.Vertical() -
                     box.padding.Vertical();
        if (wanted > contentHeight && !grid.rows.empty()) {
            int extra = wanted - contentHeight;
            int count = static_cast<int>(grid.rows.size());
            for (int row = 0; row < count; ++row) rowHeights[row] += extra / count + (row < extra % count ? 1 : 0);
            contentHeight = wanted;
        }
    }

    rowY = contentY + spacing;
    int rowLeft = columnX[0];
    int rowWidth = columnsCount > 0 ? columnX[columnsCount] - spacing - rowLeft : 0;
    for (size_t row = 0; row < grid.rows.size(); ++row) {
        Node& rowNode = *grid.rows[row];
        LayoutBox& rowBox = rowNode.MutableBox();
        rowBox.displayed = true;
        rowBox.border = Rect{rowLeft, rowY, rowWidth, rowHeights[row]};
        for (const Cell& cell : grid.cells[row]) {
            LayoutBox& cellBox = cell.node->MutableBox();
            if (rowY != provisional[row]) TranslateBox(*cell.node, 0, rowY - provisional[row]);
            int extra = rowHeights[row] - cellBox.border.height;
            cellBox.border.height = rowHeights[row];
            int shift = 0;
            VerticalAlign align = cell.node->Style().verticalAlign;
            if (align == VerticalAlign::Middle) shift = extra / 2;
            if (align == VerticalAlign::Bottom) shift = extra;
            if (shift > 0) ShiftContent(*cell.node, shift);
        }
        rowY += rowHeights[row] + spacing;
    }
    for (Node* group : grid.groups) {
        LayoutBox& groupBox = group->MutableBox();
        groupBox.displayed = true;
        Rect bounds{rowLeft, contentY + spacing, rowWidth, 0};
        bool any = false;
        for (const auto& row : group->Children()) {
            if (row->IsText() || !row->IsDisplayed()) continue;
            bounds = any ? bounds.Union(row->Box().border) : row->Box().border;
            any = true;
        }
        groupBox.border = bounds;
    }
    box.border.height = contentHeight + box.borderWidth.Vertical() + box.padding.Vertical();
    box.contentBottom = box.border.Bottom();
    return box.border.height;
}

}  // namespace Html
