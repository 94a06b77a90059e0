// A module of its own, to show that library exception objects cross module boundaries and are
// still caught by their exact kind.
#include "core/Exception.h"
#include "core/String.h"

extern "C" __declspec(dllexport) void ProbeThrowKeyNotFound()
{
    throw new System::KeyNotFoundException(L"thrown by the probe module");
}

// 1 when an exception raised inside vapcore.dll was caught here by its exact kind.
extern "C" __declspec(dllexport) int ProbeCatchLibraryException()
{
    try {
        System::String(L"abc").Substring(10);
    } catch (System::ArgumentOutOfRangeException* exception) {
        delete exception;
        return 1;
    } catch (System::Exception* exception) {
        delete exception;
        return 2;
    }
    return 0;
}
