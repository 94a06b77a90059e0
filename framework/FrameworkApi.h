#pragma once

// The framework is built twice: as vtframework.dll, shared by the console and the add-ons so that
// window objects cross VtCreateDialog, and as a static library for the self-contained updater.
#if defined(VTFRAMEWORK_STATIC)
#define VTFRAMEWORK_API
#elif defined(VTFRAMEWORK_BUILD)
#define VTFRAMEWORK_API __declspec(dllexport)
#else
#define VTFRAMEWORK_API __declspec(dllimport)
#endif
