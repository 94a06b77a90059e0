#include "sweeper/CountingSweeper.h"

void CountingSweeper::Reset(bool keepFindings)
{
    Sweeper::Reset(keepFindings);
    counters_.Reset(keepFindings);
}

int64_t CountingSweeper::GetSize() const { return counters_.GetFoundBytes(); }
int32_t CountingSweeper::GetCount() const { return counters_.GetFound(); }
int CountingSweeper::GetProgress() const { return counters_.GetProgress(IsDone()); }
