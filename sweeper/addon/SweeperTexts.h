#pragma once

#include <cstdint>

#include "core/Dictionary.h"
#include "core/String.h"

// What the sweeper window shows for its rows and bar: the labels of the catalogue's keys and the
// texts built from a node's counters.
namespace SweeperTexts {

// Fills labels with the shown label of every key of the catalogue.
void AddLabels(System::Dictionary<System::String, System::String>& labels);

// The label of key, or the node's own name when the table has none.
System::String LabelOf(const System::Dictionary<System::String, System::String>& labels, const System::String& key,
                       const System::String& name);

enum class Pass { Analysis, Sweep };
// When a row is refreshed: the one-second timer, the pass's normal end, or its stop.
enum class Moment { Timer, PassCompleted, PassStopped };

// The "상태" column of a selected row.
System::String Status(Pass pass, Moment moment, int progress);

// "%d" of a count.
System::String Count(int32_t count);
// Bytes as megabytes with one decimal, "12.3MB".
System::String Megabytes(int64_t bytes);
// The overall bar's width: the percentage, with 0 shown as 1 so that the bar never vanishes.
System::String OverallProgress(int progress);
// The advice of a finished analysis: "15.0 MB의 공간을 확보할 수 있습니다."
System::String AnalyzedAdvice(int64_t bytes);

}  // namespace SweeperTexts
