#pragma once

// Every public class of vapcore.dll is exported from it and imported by its callers, so that
// one copy of its state (trace listeners, registry roots) and its type information is shared.
#ifdef VAPCORE_BUILD
#define VAPCORE_API __declspec(dllexport)
#else
#define VAPCORE_API __declspec(dllimport)
#endif
