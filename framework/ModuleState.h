#pragma once

#include <windows.h>

#include "framework/FrameworkApi.h"

// Which module the framework loads resources from. Each module (the program, each add-on library)
// has a state of its own; the current state is per thread.
struct VTFRAMEWORK_API AFX_MODULE_STATE {
    explicit AFX_MODULE_STATE(HINSTANCE module) : m_hCurrentInstanceHandle(module), m_hCurrentResourceHandle(module) {}
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
};

// The current state: the program's own unless a module switched to its state.
VTFRAMEWORK_API AFX_MODULE_STATE* AfxGetModuleState();
VTFRAMEWORK_API AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The state of the module this is compiled into: not exported, so every module gets its own.
inline AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    static AFX_MODULE_STATE state(reinterpret_cast<HINSTANCE>(&__ImageBase));
    return &state;
}

// Switches to a module's state for a scope, and back at its end.
class VTFRAMEWORK_API AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : previous_(AfxSetModuleState(state)) {}
    ~AFX_MAINTAIN_STATE2() { AfxSetModuleState(previous_); }
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* previous_;
};

#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE2 _afxManagedState(state)

VTFRAMEWORK_API HINSTANCE AfxGetInstanceHandle();
VTFRAMEWORK_API HINSTANCE AfxGetResourceHandle();
VTFRAMEWORK_API void AfxSetResourceHandle(HINSTANCE resources);

// Adds a module to the resource chain, searched after the current resource module when a
// resource is not found there. Adding a module twice keeps one entry.
VTFRAMEWORK_API void AfxAddResourceModule(HINSTANCE module);
// The module that holds the resource: the current resource module first, then the chain.
// Null when none has it.
VTFRAMEWORK_API HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
