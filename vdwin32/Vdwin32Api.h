#pragma once

// vdwin32.dll exports its public classes; the add-ons import them.
#ifdef VDWIN32_BUILD
#define VDWIN32_API __declspec(dllexport)
#else
#define VDWIN32_API __declspec(dllimport)
#endif
