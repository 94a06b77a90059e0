// Written by make_defaults.py from the platform's wuapi.h; do not edit.
#pragma once

#include <windows.h>
#include <wuapi.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace FakeAgent {

class UpdateSessionDefaults : public IUpdateSession {
public:
    using Interface = IUpdateSession;
    HRESULT STDMETHODCALLTYPE get_ClientApplicationID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ClientApplicationID(BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_WebProxy(IWebProxy **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_WebProxy(IWebProxy *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateUpdateSearcher(IUpdateSearcher **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateUpdateDownloader(IUpdateDownloader **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateUpdateInstaller(IUpdateInstaller **retval) override { return E_NOTIMPL; }
};

class UpdateSearcherDefaults : public IUpdateSearcher {
public:
    using Interface = IUpdateSearcher;
    HRESULT STDMETHODCALLTYPE get_CanAutomaticallyUpgradeService(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_CanAutomaticallyUpgradeService(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ClientApplicationID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ClientApplicationID(BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IncludePotentiallySupersededUpdates(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IncludePotentiallySupersededUpdates(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ServerSelection(ServerSelection *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ServerSelection(ServerSelection value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginSearch(BSTR criteria, IUnknown *onCompleted, VARIANT state, ISearchJob **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndSearch(ISearchJob *searchJob, ISearchResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EscapeString(BSTR unescaped, BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHistory(LONG startIndex, LONG count, IUpdateHistoryEntryCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Search(BSTR criteria, ISearchResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Online(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Online(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTotalHistoryCount(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ServiceID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ServiceID(BSTR value) override { return E_NOTIMPL; }
};

class SearchJobDefaults : public ISearchJob {
public:
    using Interface = ISearchJob;
    HRESULT STDMETHODCALLTYPE get_AsyncState(VARIANT *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsCompleted(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CleanUp() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestAbort() override { return E_NOTIMPL; }
};

class SearchResultDefaults : public ISearchResult {
public:
    using Interface = ISearchResult;
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RootCategories(ICategoryCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Warnings(IUpdateExceptionCollection **retval) override { return E_NOTIMPL; }
};

class UpdateCollectionDefaults : public IUpdateCollection {
public:
    using Interface = IUpdateCollection;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IUpdate **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Item(LONG index, IUpdate *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Count(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Add(IUpdate *value, LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Copy(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Insert(LONG index, IUpdate *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAt(LONG index) override { return E_NOTIMPL; }
};

class UpdateDefaults : public IUpdate {
public:
    using Interface = IUpdate;
    HRESULT STDMETHODCALLTYPE get_Title(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AutoSelectOnWebSites(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_BundledUpdates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CanRequireSource(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Categories(ICategoryCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Deadline(VARIANT *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DeltaCompressedContentAvailable(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DeltaCompressedContentPreferred(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_EulaAccepted(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_EulaText(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_HandlerID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Identity(IUpdateIdentity **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Image(IImageInformation **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_InstallationBehavior(IInstallationBehavior **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsBeta(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsDownloaded(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsHidden(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsHidden(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsInstalled(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsMandatory(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsUninstallable(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Languages(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_LastDeploymentChangeTime(DATE *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MaxDownloadSize(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MinDownloadSize(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MoreInfoUrls(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MsrcSeverity(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RecommendedCpuSpeed(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RecommendedHardDiskSpace(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RecommendedMemory(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ReleaseNotes(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SecurityBulletinIDs(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SupersededUpdateIDs(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SupportUrl(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Type(UpdateType *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UninstallationNotes(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UninstallationBehavior(IInstallationBehavior **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UninstallationSteps(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_KBArticleIDs(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AcceptEula() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DeploymentAction(DeploymentAction *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyFromCache(BSTR path, VARIANT_BOOL toExtractCabFiles) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DownloadPriority(DownloadPriority *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_DownloadContents(IUpdateDownloadContentCollection **retval) override { return E_NOTIMPL; }
};

class UpdateIdentityDefaults : public IUpdateIdentity {
public:
    using Interface = IUpdateIdentity;
    HRESULT STDMETHODCALLTYPE get_RevisionNumber(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UpdateID(BSTR *retval) override { return E_NOTIMPL; }
};

class InstallationBehaviorDefaults : public IInstallationBehavior {
public:
    using Interface = IInstallationBehavior;
    HRESULT STDMETHODCALLTYPE get_CanRequestUserInput(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Impact(InstallationImpact *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RebootBehavior(InstallationRebootBehavior *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RequiresNetworkConnectivity(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
};

class StringCollectionDefaults : public IStringCollection {
public:
    using Interface = IStringCollection;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Item(LONG index, BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Count(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ReadOnly(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Add(BSTR value, LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Copy(IStringCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Insert(LONG index, BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAt(LONG index) override { return E_NOTIMPL; }
};

class UpdateDownloaderDefaults : public IUpdateDownloader {
public:
    using Interface = IUpdateDownloader;
    HRESULT STDMETHODCALLTYPE get_ClientApplicationID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ClientApplicationID(BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsForced(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsForced(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Priority(DownloadPriority *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Priority(DownloadPriority value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Updates(IUpdateCollection *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginDownload(IUnknown *onProgressChanged, IUnknown *onCompleted, VARIANT state, IDownloadJob **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Download(IDownloadResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndDownload(IDownloadJob *value, IDownloadResult **retval) override { return E_NOTIMPL; }
};

class DownloadJobDefaults : public IDownloadJob {
public:
    using Interface = IDownloadJob;
    HRESULT STDMETHODCALLTYPE get_AsyncState(VARIANT *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsCompleted(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CleanUp() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProgress(IDownloadProgress **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestAbort() override { return E_NOTIMPL; }
};

class DownloadProgressDefaults : public IDownloadProgress {
public:
    using Interface = IDownloadProgress;
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateBytesDownloaded(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateBytesToDownload(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateIndex(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_PercentComplete(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_TotalBytesDownloaded(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_TotalBytesToDownload(DECIMAL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG updateIndex, IUpdateDownloadResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateDownloadPhase(DownloadPhase *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdatePercentComplete(LONG *retval) override { return E_NOTIMPL; }
};

class DownloadResultDefaults : public IDownloadResult {
public:
    using Interface = IDownloadResult;
    HRESULT STDMETHODCALLTYPE get_HResult(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG updateIndex, IUpdateDownloadResult **retval) override { return E_NOTIMPL; }
};

class UpdateDownloadResultDefaults : public IUpdateDownloadResult {
public:
    using Interface = IUpdateDownloadResult;
    HRESULT STDMETHODCALLTYPE get_HResult(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode *retval) override { return E_NOTIMPL; }
};

class UpdateInstallerDefaults : public IUpdateInstaller {
public:
    using Interface = IUpdateInstaller;
    HRESULT STDMETHODCALLTYPE get_ClientApplicationID(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ClientApplicationID(BSTR value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsForced(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsForced(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ParentHwnd(HWND *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ParentHwnd(HWND value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ParentWindow(IUnknown *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ParentWindow(IUnknown **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Updates(IUpdateCollection *value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginInstall(IUnknown *onProgressChanged, IUnknown *onCompleted, VARIANT state, IInstallationJob **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginUninstall(IUnknown *onProgressChanged, IUnknown *onCompleted, VARIANT state, IInstallationJob **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndInstall(IInstallationJob *value, IInstallationResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndUninstall(IInstallationJob *value, IInstallationResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Install(IInstallationResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RunWizard(BSTR dialogTitle, IInstallationResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsBusy(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Uninstall(IInstallationResult **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_AllowSourcePrompts(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_AllowSourcePrompts(VARIANT_BOOL value) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RebootRequiredBeforeInstallation(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
};

class InstallationJobDefaults : public IInstallationJob {
public:
    using Interface = IInstallationJob;
    HRESULT STDMETHODCALLTYPE get_AsyncState(VARIANT *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_IsCompleted(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CleanUp() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProgress(IInstallationProgress **retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestAbort() override { return E_NOTIMPL; }
};

class InstallationProgressDefaults : public IInstallationProgress {
public:
    using Interface = IInstallationProgress;
    HRESULT STDMETHODCALLTYPE get_CurrentUpdateIndex(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurrentUpdatePercentComplete(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_PercentComplete(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG updateIndex, IUpdateInstallationResult **retval) override { return E_NOTIMPL; }
};

class InstallationResultDefaults : public IInstallationResult {
public:
    using Interface = IInstallationResult;
    HRESULT STDMETHODCALLTYPE get_HResult(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG updateIndex, IUpdateInstallationResult **retval) override { return E_NOTIMPL; }
};

class UpdateInstallationResultDefaults : public IUpdateInstallationResult {
public:
    using Interface = IUpdateInstallationResult;
    HRESULT STDMETHODCALLTYPE get_HResult(LONG *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode *retval) override { return E_NOTIMPL; }
};

class WindowsUpdateAgentInfoDefaults : public IWindowsUpdateAgentInfo {
public:
    using Interface = IWindowsUpdateAgentInfo;
    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT varInfoIdentifier, VARIANT *retval) override { return E_NOTIMPL; }
};

class SystemInformationDefaults : public ISystemInformation {
public:
    using Interface = ISystemInformation;
    HRESULT STDMETHODCALLTYPE get_OemHardwareSupportLink(BSTR *retval) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RebootRequired(VARIANT_BOOL *retval) override { return E_NOTIMPL; }
};

}  // namespace FakeAgent

#pragma GCC diagnostic pop
