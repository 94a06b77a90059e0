#include <gtest/gtest.h>

#include "process/PushGraphData.h"

namespace {

PushGraphData LoadGraph()
{
    PushGraphData graph;
    graph.SetRange(0, 100);
    graph.SetPushInterval(5);
    graph.SetGridSize(15);
    graph.AddLine(0, 0x27FF00);
    return graph;
}

TEST(PushGraphTests, VisiblePointsCountPartialPointsAtTheEdges)
{
    PushGraphData graph = LoadGraph();
    EXPECT_EQ(graph.GetVisiblePoints(100), 22);
    EXPECT_EQ(graph.GetVisiblePoints(101), 23);
    EXPECT_EQ(graph.GetVisiblePoints(0), 1);
    graph.SetGridSize(1);
    EXPECT_EQ(graph.GetGridSize(), 3);
}

TEST(PushGraphTests, FullGraphDropsOldestValuesAndScrollsTheGridByOneIntervalPerPush)
{
    PushGraphData graph = LoadGraph();
    for (int i = 0; i < 21; ++i) {
        ASSERT_TRUE(graph.Push(0, i, 100));
        graph.PrepareForDrawing(100);
    }
    EXPECT_EQ(graph.GetGridOffset(), 0);
    int expected[] = {-5, -10, 0, -5};
    for (int offset : expected) {
        graph.Push(0, 50, 100);
        graph.PrepareForDrawing(100);
        EXPECT_EQ(graph.GetGridOffset(), offset);
        EXPECT_EQ(graph.GetLines()[0].values.size(), 21u);
    }
    EXPECT_EQ(graph.GetLines()[0].values.front(), 4);
    EXPECT_FALSE(graph.Push(7, 1, 100));
}

TEST(PushGraphTests, ValuesAreClampedAndShorterLinesPaddedWithTheirLastValue)
{
    PushGraphData graph = LoadGraph();
    graph.AddLine(1, 0xFF);
    graph.AddLine(2, 0xFF00);
    graph.Push(0, 150, 100);
    graph.Push(0, -5, 100);
    graph.Push(0, 30, 100);
    graph.Push(1, 40, 100);
    graph.PrepareForDrawing(100);
    EXPECT_EQ(graph.GetLines()[0].values, (std::vector<int>{100, 0, 30}));
    EXPECT_EQ(graph.GetLines()[1].values, (std::vector<int>{40, 40, 40}));
    EXPECT_EQ(graph.GetLines()[2].values, (std::vector<int>{0, 0, 0}));
}

}  // namespace
