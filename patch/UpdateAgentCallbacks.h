#pragma once

// The update agent's callback interfaces and class ids that the platform's wuapi.h lacks. The
// agent calls Invoke on threads of its own; the arguments object is reserved and may be null.
#include <windows.h>
#include <wuapi.h>

MIDL_INTERFACE("88aee058-d4b0-4725-a2f1-814a67ae964c")
ISearchCompletedCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ISearchJob* job, IDispatch* args) = 0;
};
__CRT_UUID_DECL(ISearchCompletedCallback, 0x88aee058, 0xd4b0, 0x4725, 0xa2, 0xf1, 0x81, 0x4a, 0x67, 0xae, 0x96, 0x4c)

MIDL_INTERFACE("77254866-9f5b-4c8e-b9e2-c77a8530d64b")
IDownloadCompletedCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IDownloadJob* job, IDispatch* args) = 0;
};
__CRT_UUID_DECL(IDownloadCompletedCallback, 0x77254866, 0x9f5b, 0x4c8e, 0xb9, 0xe2, 0xc7, 0x7a, 0x85, 0x30, 0xd6, 0x4b)

MIDL_INTERFACE("8c3f1cdd-6173-4591-aebd-a56a53ca77c1")
IDownloadProgressChangedCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IDownloadJob* job, IDispatch* args) = 0;
};
__CRT_UUID_DECL(IDownloadProgressChangedCallback, 0x8c3f1cdd, 0x6173, 0x4591, 0xae, 0xbd, 0xa5, 0x6a, 0x53, 0xca, 0x77, 0xc1)

MIDL_INTERFACE("45f4f6f3-d602-4f98-9a8a-3efa152ad2d3")
IInstallationCompletedCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IInstallationJob* job, IDispatch* args) = 0;
};
__CRT_UUID_DECL(IInstallationCompletedCallback, 0x45f4f6f3, 0xd602, 0x4f98, 0x9a, 0x8a, 0x3e, 0xfa, 0x15, 0x2a, 0xd2, 0xd3)

MIDL_INTERFACE("e01402d5-f8da-43ba-a012-38894bd048f1")
IInstallationProgressChangedCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(IInstallationJob* job, IDispatch* args) = 0;
};
__CRT_UUID_DECL(IInstallationProgressChangedCallback, 0xe01402d5, 0xf8da, 0x43ba, 0xa0, 0x12, 0x38, 0x89, 0x4b, 0xd0, 0x48,
                0xf1)

namespace UpdateAgentIds {
// The update collection class ("UpdateColl").
constexpr CLSID UpdateCollection = {0x13639463, 0x00db, 0x4646, {0x80, 0x3d, 0x52, 0x80, 0x26, 0x14, 0x0d, 0x88}};
constexpr CLSID UpdateSession = {0x4cb43d7f, 0x7eee, 0x4906, {0x86, 0x98, 0x60, 0xda, 0x1c, 0x38, 0xf2, 0xfe}};
constexpr CLSID WindowsUpdateAgentInfo = {0xc2e88c2f, 0x6f5b, 0x4aaa, {0x89, 0x4b, 0x55, 0xc8, 0x47, 0xad, 0x3a, 0x2d}};
constexpr CLSID SystemInformation = {0xc01b9ba0, 0xbea7, 0x41ba, {0xb6, 0x04, 0xd0, 0xa3, 0x6f, 0x46, 0x91, 0x33}};
}  // namespace UpdateAgentIds
