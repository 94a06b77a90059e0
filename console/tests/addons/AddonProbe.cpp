#include "console/tests/addons/AddonProbe.h"

#include "framework/ModuleState.h"

namespace {

LONG constructed = 0;
LONG destroyed = 0;
LONG* destructionWatch = nullptr;
HINSTANCE resourceHandleAtInit = nullptr;

}  // namespace

namespace AddonProbe {

void DialogConstructed() { ++constructed; }

void DialogDestroyed()
{
    ++destroyed;
    if (destructionWatch) ++*destructionWatch;
}

void RecordResourceHandleAtInit() { resourceHandleAtInit = AfxGetResourceHandle(); }

}  // namespace AddonProbe

LONG AddonProbeConstructed() { return constructed; }
LONG AddonProbeDestroyed() { return destroyed; }
void AddonProbeWatchDestruction(LONG* counter) { destructionWatch = counter; }
HINSTANCE AddonProbeResourceHandleAtInit() { return resourceHandleAtInit; }
