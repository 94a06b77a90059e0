#pragma once

#include "core/Exception.h"
#include "core/String.h"

// The Korean texts the startup manager shows when an operation fails.
namespace StartupMessages {

constexpr const wchar_t* Caption = L"벨라 스패너";

// Why an operation failed, in words a user understands.
System::String Reason(const System::Exception& failure);
// "'<name>' 프로그램을 ... 못했습니다." followed by the reason.
System::String DisableFailed(const System::String& name, const System::Exception& failure);
System::String EnableFailed(const System::String& name, const System::Exception& failure);
System::String DeleteFailed(const System::String& name, const System::Exception& failure);
System::String ListFailed(const System::Exception& failure);
System::String BackupFailed(const System::Exception& failure);
System::String RestoreFailed(const System::Exception& failure);

}  // namespace StartupMessages
