; The suite's setup program, VelaToolboxSetup.exe: a 64-bit, per-machine install of the installed
; layout (dist/) with its uninstaller. tools/build makes it with
;   makensis -INPUTCHARSET UTF8 -DCONFIG=<build>/installer/config.nsh installer/VelaToolbox.nsi
; with the build folder's absolute path. The configuration names the product, its version, dist/ and
; the output; -DVERSION=, -DDIST=, -DOUTFILE= and
; -DLISTS= given before it take precedence (the tests make a newer setup that way).
;
; Silent use:  VelaToolboxSetup.exe /S [/UpdateServer=<address> ...] [/D=<folder>]
;              "<folder>\uninstall.exe" /S
; The options /InformationServer=, /UpdateServer=, /HomePage=, /GuideServer= and
; /RedistributableServer= write the deployment settings of the same names; settings not given
; stay as they are, so an upgrade keeps them.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; A file that cannot be written stops the setup instead of leaving an old one silently in place.
AllowSkipFiles off
; The name VelaToolboxSetup.exe is wanted; the compatibility shims Windows applies to setup programs
; are what an elevated, per-machine setup expects anyway.
!pragma warning disable 9000

!ifndef CONFIG
  !error "Give the build's configuration: -DCONFIG=<build>/installer/config.nsh"
!endif
!include /CHARSET=UTF8 "${CONFIG}"

!system 'python3 "${SOURCE}/make_file_lists.py" "${DIST}" "${LISTS}"' = 0
!include /CHARSET=UTF8 "${LISTS}/files_size.nsh"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define SUITE_KEY "Software\Vela\Toolbox"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelaToolbox"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define DATA_FOLDER "$APPDATA\Vela\Toolbox"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vela Toolbox"
; An upgrade goes where the suite already is.
InstallDirRegKey HKLM "${SUITE_KEY}" "InstallPath"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\vtcon.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT} 실행"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "데이터 폴더에는 사용 안 함으로 설정한 시작 프로그램 목록, 백업과 설정이 들어 있습니다. 선택하지 않으면 그대로 남겨 둡니다."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_KOREAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileDescription" "${PRODUCT} 설치"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "LegalCopyright" "Copyright (C) ${PUBLISHER}. All rights reserved."

; Programs of the suite running from the install folder hold their files: they are asked to close
; (after the user agrees, when the setup has a window) before files are replaced or removed.
!macro CLOSE_RUNNING_PROGRAMS UN
Function ${UN}CloseRunningPrograms
  InitPluginsDir
  File "/oname=$PLUGINSDIR\setuphelper.exe" "${HELPER}"
  ask:
    ClearErrors
    ExecWait '"$PLUGINSDIR\setuphelper.exe" query "$INSTDIR"' $0
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "설치 도우미 프로그램을 실행하지 못했습니다." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "${PRODUCT}가 실행 중입니다.$\n[확인]을 누르면 프로그램을 닫고 계속합니다." /SD IDOK IDOK close
    SetErrorLevel 1
    Abort
  close:
    ExecWait '"$PLUGINSDIR\setuphelper.exe" close "$INSTDIR"' $0
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONSTOP "${PRODUCT}를 닫지 못했습니다.$\n프로그램을 직접 닫은 뒤 [다시 시도]를 눌러 주십시오." /SD IDCANCEL IDRETRY ask
    SetErrorLevel 2
    Abort
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAMS ""
!insertmacro CLOSE_RUNNING_PROGRAMS "un."

; Finds the value of an option /<name>=<value> in $R0, the setup's parameters: $R2 holds "/<name>=",
; and the value comes back in $R1 with the error flag clear, or the flag is set when the option is
; absent. The value runs to the next space, or between quotes when it starts with one. (The
; library's option parser ends a value at the option's first character, which cuts an address
; at its "//".)
Function OptionValue
  StrLen $3 $R2
  StrCpy $4 0
  find:
    StrCpy $5 $R0 $3 $4
    StrCmp $5 "" absent
    ${If} $5 == $R2
      ${If} $4 == 0
        Goto found
      ${EndIf}
      IntOp $6 $4 - 1
      StrCpy $7 $R0 1 $6
      ${If} $7 == " "
        Goto found
      ${EndIf}
    ${EndIf}
    IntOp $4 $4 + 1
    Goto find
  found:
    IntOp $4 $4 + $3
    StrCpy $8 " "
    StrCpy $7 $R0 1 $4
    ${If} $7 == '"'
      StrCpy $8 '"'
      IntOp $4 $4 + 1
    ${EndIf}
    StrCpy $R1 ""
  copy:
    StrCpy $7 $R0 1 $4
    StrCmp $7 "" done
    StrCmp $7 $8 done
    StrCpy $R1 "$R1$7"
    IntOp $4 $4 + 1
    Goto copy
  done:
    ClearErrors
    Return
  absent:
    SetErrors
FunctionEnd

; Writes the deployment setting named on the command line as /<name>=<value>, when given.
!macro DEPLOYMENT_SETTING NAME
  StrCpy $R2 "/${NAME}="
  Call OptionValue
  ${IfNot} ${Errors}
    WriteRegStr HKLM "${SUITE_KEY}" "${NAME}" "$R1"
    ${If} ${Errors}
      StrCpy $R3 1
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 64
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT}를 설치하려면 관리자 권한이 필요합니다." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
FunctionEnd

Section "install"
  Call CloseRunningPrograms

  !include /CHARSET=UTF8 "${LISTS}/files_install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the install folder, as the console expects its catalogue beside it.
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\vtcon.exe" "" "$INSTDIR\vtcon.exe" 0
  CreateShortcut "${MENU_FOLDER}\${PRODUCT} 제거.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\vtcon.exe" "" "$INSTDIR\vtcon.exe" 0

  ${GetParameters} $R0
  StrCpy $R3 0
  !insertmacro DEPLOYMENT_SETTING "InformationServer"
  !insertmacro DEPLOYMENT_SETTING "UpdateServer"
  !insertmacro DEPLOYMENT_SETTING "HomePage"
  !insertmacro DEPLOYMENT_SETTING "GuideServer"
  !insertmacro DEPLOYMENT_SETTING "RedistributableServer"
  ClearErrors
  WriteRegStr HKLM "${SUITE_KEY}" "InstallPath" "$INSTDIR"
  WriteRegStr HKLM "${SUITE_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vtcon.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${PAYLOAD_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
  ${OrIf} $R3 == 1
    MessageBox MB_OK|MB_ICONSTOP "레지스트리에 설치 정보를 기록하지 못했습니다. 관리자 권한으로 다시 설치해 주십시오." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT}를 제거하려면 관리자 권한이 필요합니다." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
FunctionEnd

Section "un.프로그램 파일과 바로 가기" UninstallProgram
  SectionIn RO
  Call un.CloseRunningPrograms

  !include /CHARSET=UTF8 "${LISTS}/files_uninstall.nsh"
  ; Programs and libraries the live updater added since carry the suite's version resource.
  ExecWait '"$PLUGINSDIR\setuphelper.exe" clean "$INSTDIR"' $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "일부 프로그램 파일을 삭제하지 못했습니다.$\n컴퓨터를 다시 시작한 뒤 $INSTDIR 폴더를 직접 삭제해 주십시오." /SD IDOK
  ${EndIf}
  ; The console's trace lies beside it.
  Delete "$INSTDIR\vtcon.exe.log"
  Delete "$INSTDIR\uninstall.exe"
  ; Only an empty folder goes: files the user put there stay.
  RMDir "$INSTDIR"

  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\${PRODUCT} 제거.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SUITE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Vela"
SectionEnd

; Off unless the user ticks it, and so off in silent mode: the data folder holds the disabled
; startup programs, which would be lost with it.
Section /o "un.데이터 폴더" UninstallData
  RMDir /r "${DATA_FOLDER}"
  RMDir "$APPDATA\Vela"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallProgram} "설치된 프로그램 파일, 시작 메뉴와 바탕 화면의 바로 가기, 프로그램 추가/제거 항목과 설정을 제거합니다."
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallData} "사용 안 함으로 설정한 시작 프로그램 목록, 백업, 캐시와 설정이 있는 데이터 폴더도 삭제합니다. 삭제하면 사용 안 함으로 설정한 시작 프로그램을 다시 사용할 수 없습니다."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
