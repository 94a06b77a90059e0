#include "process/PushGraphData.h"

#include <algorithm>

void PushGraphData::SetRange(int minimum, int maximum)
{
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
}

void PushGraphData::AddLine(unsigned id, uint32_t colour, bool bars)
{
    PushGraphLine line;
    line.id = id;
    line.colour = colour;
    line.bars = bars;
    lines_.push_back(line);
}

PushGraphLine* PushGraphData::FindLine(unsigned id)
{
    for (PushGraphLine& line : lines_)
        if (line.id == id) return &line;
    return nullptr;
}

size_t PushGraphData::Longest() const
{
    size_t longest = 0;
    for (const PushGraphLine& line : lines_) longest = std::max(longest, line.values.size());
    return longest;
}

int PushGraphData::GetVisiblePoints(int width) const
{
    if (width <= 0) return 1;
    int points = width / interval_ + (width % interval_ == 0 ? 2 : 3);
    return std::max(points, 1);
}

bool PushGraphData::Push(unsigned id, int value, int width)
{
    PushGraphLine* line = FindLine(id);
    if (!line) return false;
    line->values.push_back(std::clamp(value, minimum_, maximum_));
    int visible = GetVisiblePoints(width);
    int longest = static_cast<int>(Longest());
    if (longest >= visible) {
        gridOffset_ -= interval_ * (longest - visible + 1);
        gridOffset_ %= gridSize_;
    }
    return true;
}

void PushGraphData::PrepareForDrawing(int width)
{
    size_t visible = static_cast<size_t>(GetVisiblePoints(width));
    for (PushGraphLine& line : lines_) {
        if (line.values.size() >= visible)
            line.values.erase(line.values.begin(), line.values.begin() + static_cast<std::ptrdiff_t>(line.values.size() - visible + 1));
    }
    size_t longest = Longest();
    for (PushGraphLine& line : lines_) {
        if (line.values.empty()) line.values.push_back(minimum_);
        line.values.resize(std::max(longest, line.values.size()), line.values.back());
    }
}
