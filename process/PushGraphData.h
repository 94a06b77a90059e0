#pragma once

#include <cstdint>
#include <vector>

// One line of a scrolling load graph.
struct PushGraphLine {
    unsigned id = 0;
    uint32_t colour = 0;  // COLORREF
    bool bars = false;
    std::vector<int> values;
};

// The values and scrolling of a load graph, apart from its window: values are pushed at the right,
// the oldest fall off the left, and the vertical grid scrolls with them.
class PushGraphData {
public:
    void SetRange(int minimum, int maximum);
    void SetPushInterval(int pixels) { interval_ = pixels > 0 ? pixels : 1; }
    // At least 3 pixels.
    void SetGridSize(int pixels) { gridSize_ = pixels < 3 ? 3 : pixels; }
    int GetMinimum() const { return minimum_; }
    int GetMaximum() const { return maximum_; }
    int GetPushInterval() const { return interval_; }
    int GetGridSize() const { return gridSize_; }

    void AddLine(unsigned id, uint32_t colour, bool bars = false);
    PushGraphLine* FindLine(unsigned id);
    const std::vector<PushGraphLine>& GetLines() const { return lines_; }

    // Clamps the value to the range and appends it; with a graph of this width, moves the grid
    // once the longest line fills the graph. False when there is no such line.
    bool Push(unsigned id, int value, int width);
    // Points that fit a graph of this width, counting the partial ones at both edges.
    int GetVisiblePoints(int width) const;
    // Before drawing: drops the values that scrolled out and pads shorter lines to the longest
    // with their last value (the minimum for an empty line).
    void PrepareForDrawing(int width);
    int GetGridOffset() const { return gridOffset_; }

private:
    size_t Longest() const;

    std::vector<PushGraphLine> lines_;
    int minimum_ = 0;
    int maximum_ = 100;
    int interval_ = 2;
    int gridSize_ = 15;
    int gridOffset_ = 0;
};
