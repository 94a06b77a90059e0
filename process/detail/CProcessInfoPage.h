#pragma once

#include <windows.h>

#include "core/String.h"
#include "core/UniqueResource.h"
#include "framework/CGdiObject.h"
#include "framework/CPropertySheet.h"

class ProcessInfo;

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { DestroyIcon(value); }
};
using UniqueIcon = System::UniqueResource<IconTraits>;

// The "정보" tab: the process's image name, description, rating and the icon of its file type.
class CProcessInfoPage : public CPropertyPage {
public:
    explicit CProcessInfoPage(const ProcessInfo& process);

    BOOL OnInitDialog() override;

    // The large icon of the file type of the process's executable (the file itself is not read),
    // else its small icon, else the folder icon of "C:\Windows". A process that could not be opened
    // has no path; its image name still gives the type. Null only when the shell has no icon at all.
    static UniqueIcon LoadFileTypeIcon(const ProcessInfo& process);

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int width, int height);

private:
    void Layout(int width);

    const ProcessInfo& process_;
    CFont nameFont_;
    CFont ratingFont_;
    CFont explanationFont_;
    // Outlives the static control that shows it.
    UniqueIcon icon_;
};
