#include "console/Addon.h"

#include <shellapi.h>

#include "core/Environment.h"
#include "core/Exception.h"
#include "core/FileInfo.h"
#include "core/Trace.h"
#include "core/Win32Exception.h"
#include "framework/CWnd.h"

using Microsoft::Win32::Win32Exception;
using System::String;

namespace {

// The one export of an add-on library: C convention, undecorated name.
using CreateDialogExport = CWnd* (*)(CWnd* parent);
const char CreateDialogExportName[] = "VtCreateDialog";

void OpenWithShell(const String& target)
{
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", target.GetBuffer(), nullptr, nullptr, SW_SHOWNORMAL));
    // The shell shows its own message for most failures; the trace keeps the code for support.
    if (result <= 32) {
        System::Diagnostics::Trace::WriteLine(
            String::Format(L"ShellExecute(\"%s\") failed with %d", target.GetBuffer(), static_cast<int>(result)));
    }
}

}  // namespace

Addon::Addon(const String& id, const String& name, const String& category, const String& description,
             const String& imageFileName, const String& moduleFileName, const String& downloadUrl, bool external)
    : id_(id),
      name_(name),
      category_(category),
      description_(description),
      imageFileName_(imageFileName),
      moduleFileName_(moduleFileName),
      downloadUrl_(downloadUrl),
      external_(external)
{
}

Addon::~Addon()
{
    delete dialog_;
    module_.Reset();
}

CWnd* Addon::GetDialog(CWnd* parent)
{
    if (external_) {
        throw new System::InvalidOperationException(L"The tool \"" + id_ +
                                                    L"\" is an outside program and has no dialog.");
    }
    if (dialog_) return dialog_;

    if (!module_) {
        HMODULE module = LoadLibraryW(moduleFileName_.GetBuffer());
        if (!module) {
            Win32Exception::ThrowLastError(
                String::Format(L"Cannot load the add-on library \"%s\"", moduleFileName_.GetBuffer()));
        }
        module_.Reset(module);
    }

    FARPROC address = GetProcAddress(module_.Get(), CreateDialogExportName);
    if (!address) {
        Win32Exception::ThrowLastError(
            String::Format(L"The add-on library \"%s\" has no VtCreateDialog", moduleFileName_.GetBuffer()));
    }
    auto create = reinterpret_cast<CreateDialogExport>(reinterpret_cast<void*>(address));

    SetLastError(ERROR_SUCCESS);
    CWnd* dialog = create(parent);
    RECT rect;
    if (!dialog || !dialog->GetSafeHwnd() || !::GetWindowRect(dialog->GetSafeHwnd(), &rect)) {
        // A failed window creation usually leaves its reason as the last error.
        DWORD error = GetLastError();
        delete dialog;
        Win32Exception::Throw(error != ERROR_SUCCESS ? error : ERROR_INVALID_WINDOW_HANDLE,
                              String::Format(L"VtCreateDialog of \"%s\" made no dialog", moduleFileName_.GetBuffer()));
    }
    dialog_ = dialog;
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    return dialog_;
}

bool Addon::IsInstalled() const
{
    String path = GetExpandedModulePath();
    return !path.IsEmpty() && System::IO::FileInfo(path).Exists();
}

void Addon::Run() const
{
    RequireExternal(L"Run");
    OpenWithShell(GetExpandedModulePath());
}

void Addon::OpenDownloadPage() const
{
    RequireExternal(L"OpenDownloadPage");
    OpenWithShell(downloadUrl_);
}

void Addon::RequireExternal(const wchar_t* operation) const
{
    if (!external_) {
        throw new System::InvalidOperationException(
            String::Format(L"%s: the tool \"%s\" is an add-on library, not an outside program.", operation,
                           id_.GetBuffer()));
    }
}

String Addon::GetExpandedModulePath() const { return System::Environment::ExpandEnvironmentVariables(moduleFileName_); }
