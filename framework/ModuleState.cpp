#include "framework/ModuleState.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// The program's state: the executable's module.
AFX_MODULE_STATE& ProgramState()
{
    static AFX_MODULE_STATE state(GetModuleHandleW(nullptr));
    return state;
}

thread_local AFX_MODULE_STATE* currentState = nullptr;

std::mutex chainLock;
std::vector<HINSTANCE>& ResourceChain()
{
    static std::vector<HINSTANCE> chain;
    return chain;
}

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() { return currentState ? currentState : &ProgramState(); }

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state)
{
    AFX_MODULE_STATE* previous = currentState;
    currentState = state;
    return previous;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }

void AfxSetResourceHandle(HINSTANCE resources) { AfxGetModuleState()->m_hCurrentResourceHandle = resources; }

void AfxAddResourceModule(HINSTANCE module)
{
    std::lock_guard<std::mutex> guard(chainLock);
    auto& chain = ResourceChain();
    if (std::find(chain.begin(), chain.end(), module) == chain.end()) chain.push_back(module);
}

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type)
{
    HINSTANCE current = AfxGetResourceHandle();
    if (FindResourceW(current, name, type)) return current;
    std::lock_guard<std::mutex> guard(chainLock);
    for (HINSTANCE module : ResourceChain()) {
        if (FindResourceW(module, name, type)) return module;
    }
    return nullptr;
}
