#pragma once

// Texts of the startup manager's string table that its logic shows or compares with.
namespace StartupTexts {

constexpr const wchar_t* StartupFolder = L"시작 폴더";           // 109
constexpr const wchar_t* CurrentUser = L"현재 사용자";           // 110
constexpr const wchar_t* AllUsers = L"모든 사용자";              // 111
constexpr const wchar_t* Everything = L"전체";                   // 112
constexpr const wchar_t* Registry = L"레지스트리";               // 113
constexpr const wchar_t* AutomaticBackup = L"자동 백업 파일";    // 114
constexpr const wchar_t* Unspecified = L"지정되지 않음";         // 127
constexpr const wchar_t* MissingEntry = L"존재하지 않는 항목입니다";  // 128

}  // namespace StartupTexts
