#include "startup/addon/StartupMessages.h"

#include <windows.h>

#include "core/Win32Exception.h"

using System::String;

namespace StartupMessages {

String Reason(const System::Exception& failure)
{
    // Kinds without an error code are told apart by name.
    String kind = failure.GetTypeName();
    if (auto* win32 = dynamic_cast<const Microsoft::Win32::Win32Exception*>(&failure)) {
        switch (win32->GetNativeErrorCode()) {
        case ERROR_ACCESS_DENIED:
            return L"접근이 거부되었습니다. 관리자 권한이 필요하거나 읽기 전용인 위치입니다.";
        case ERROR_WRITE_PROTECT:
            return L"쓰기가 금지된 위치입니다.";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"다른 프로그램이 파일을 사용하고 있습니다.";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return L"디스크 공간이 부족합니다.";
        default:
            return String::Format(L"시스템 오류 %u: %s", win32->GetNativeErrorCode(), failure.GetMessage().GetBuffer());
        }
    }
    if (kind == L"System.FormatException" || kind == L"System.IO.EndOfStreamException")
        return L"저장된 시작 프로그램 정보가 손상되었습니다.";
    return L"오류: " + failure.GetMessage();
}

namespace {

String About(const String& name, const wchar_t* what, const System::Exception& failure)
{
    return L"'" + name + L"' 프로그램을 " + what + L" 못했습니다.\r\n" + Reason(failure);
}

}  // namespace

String DisableFailed(const String& name, const System::Exception& failure)
{
    return About(name, L"사용하지 않도록 설정하지", failure);
}

String EnableFailed(const String& name, const System::Exception& failure)
{
    return About(name, L"다시 사용하도록 설정하지", failure);
}

String DeleteFailed(const String& name, const System::Exception& failure) { return About(name, L"삭제하지", failure); }

String ListFailed(const System::Exception& failure)
{
    return L"시작 프로그램 목록을 모두 읽지 못했습니다.\r\n" + Reason(failure);
}

String BackupFailed(const System::Exception& failure)
{
    return L"시작 프로그램을 백업하지 못했습니다.\r\n" + Reason(failure);
}

String RestoreFailed(const System::Exception& failure)
{
    return L"시작 프로그램을 모두 복원하지 못했습니다. 복원 전의 시작 프로그램은 백업 목록에 남아 있습니다.\r\n" +
           Reason(failure);
}

}  // namespace StartupMessages
