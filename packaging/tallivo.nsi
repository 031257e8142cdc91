; Setup program of Tallivo for one architecture, built by CMake (see
; cmake/package.cmake), which defines:
;   ARCH          x64 or x86: which stub and which build
;   VERSION       "4.04", VERSION_QUAD "4.4.0.0" (from src/base/version.h)
;   BINDIR        folder of the four built files
;   SRCDIR        source tree (icon)
;   OUTFILE       the setup program to write
;
; Installs for the current user only, into %LOCALAPPDATA%\Programs\Tallivo:
; no administrator rights, and the folder stays writable for the marker
; file the program keeps beside itself. /S installs or uninstalls silently.

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all

!define PRODUCT "Tallivo"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallivo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The day's statistics of an executable named Tallivo.exe.
!define STATS_KEY "Software\Tallivo\Tallivo"

Name "Tallivo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tallivo"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Tallivo ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define MUI_ICON "${SRCDIR}/src/res/tallivo.ico"
!define MUI_UNICON "${SRCDIR}/src/res/tallivo.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartInstalled

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the user's is neither.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString RunNow ${LANG_SIMPCHINESE} "立即运行泰利沃"
LangString RunNow ${LANG_ENGLISH} "Start Tallivo now"
LangString ShortcutDesc ${LANG_SIMPCHINESE} "统计今天的鼠标点击、滚轮、键盘敲击和鼠标移动距离"
LangString ShortcutDesc ${LANG_ENGLISH} "Counts today's mouse clicks, wheel steps, key strokes and pointer travel"
LangString KeepStats ${LANG_SIMPCHINESE} "是否保留键鼠统计数据？$\r$\n$\r$\n选择“是”保留（重新安装后继续累计），选择“否”将其从注册表中删除。"
LangString KeepStats ${LANG_ENGLISH} "Keep the keyboard and mouse statistics?$\r$\n$\r$\nYes keeps them (a new install carries on counting), No deletes them from the registry."

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Tallivo"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "泰利沃 ${VERSION} 安装程序 (${ARCH})"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Tallivo"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright (C) Tallivo"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tallivo"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tallivo ${VERSION} setup (${ARCH})"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Tallivo"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Tallivo"

; Ends a Tallivo that runs from $INSTDIR, so its files can be replaced or
; removed. Its main window is the one unowned dialog of that process: Esc
; (IDCANCEL) closes it at once, and it saves the day's figures on the way
; out. A program that does not end (a message box of its own is open) is
; terminated; it has saved its figures within the last second anyway.
; Matched by the image path, not the caption: the caption is GBK text and
; reads differently on a system with another ANSI code page.
!macro STOP_TALLIVO un
Function ${un}StopTallivo
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $5 0 ; windows looked at, a bound against an endless walk
  StrCpy $0 0
  ${DoWhile} $5 < 10000
    IntOp $5 $5 + 1
    FindWindow $0 "#32770" "" 0 $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call "user32::GetWindow(p r0, i 4) p .r1" ; GW_OWNER
    ${If} $1 P<> 0
      ${Continue}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r2)"
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE
    System::Call "kernel32::OpenProcess(i 0x101001, i 0, i r2) p .r3"
    ${If} $3 P= 0
      ${Continue}
    ${EndIf}
    StrCpy $4 ""
    System::Call "kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r4, *i ${NSIS_MAX_STRLEN})"
    ${If} $4 == "$INSTDIR\Tallivo.exe"
      DetailPrint "Tallivo: $4"
      SendMessage $0 ${WM_COMMAND} 2 0 /TIMEOUT=5000
      System::Call "kernel32::WaitForSingleObject(p r3, i 5000) i .r1"
      ${If} $1 <> 0
        System::Call "kernel32::TerminateProcess(p r3, i 1)"
        System::Call "kernel32::WaitForSingleObject(p r3, i 5000)"
      ${EndIf}
      ; Its windows are gone: walk again from the start.
      StrCpy $0 0
    ${EndIf}
    System::Call "kernel32::CloseHandle(p r3)"
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro STOP_TALLIVO ""
!insertmacro STOP_TALLIVO "un."

Function StartInstalled
  ; The shortcut's folder too: the program looks for its marker file in
  ; the current directory.
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Tallivo.exe"'
FunctionEnd

Section "Tallivo"
  SetShellVarContext current
  Call StopTallivo
  SetOutPath "$INSTDIR"
  File "${BINDIR}/Tallivo.exe"
  File "${BINDIR}/TallivoHook.dll"
  File "${BINDIR}/TallivoTaskHook.dll"
  File "${BINDIR}/SkinH.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Working directory = $INSTDIR (the current SetOutPath).
  CreateShortcut "$SMPROGRAMS\Tallivo.lnk" "$INSTDIR\Tallivo.exe" "" "$INSTDIR\Tallivo.exe" 0 \
    SW_SHOWNORMAL "" "$(ShortcutDesc)"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "泰利沃 Tallivo ${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Tallivo"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tallivo.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; The program a Run value starts: the path between the quotes, or an
; unquoted value whole (older versions wrote the path without quotes).
Function un.RunValueProgram
  Exch $0
  Push $1
  Push $2
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $2 0
    ${Do}
      StrCpy $1 $0 1 $2
      ${If} $1 == '"'
      ${OrIf} $1 == ""
        ${Break}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
    StrCpy $0 $0 $2
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Removes the value "Tallivo" of the Run key under ROOT (in the current
; registry view) when the program it would start is gone; one that starts a
; Tallivo kept elsewhere (a portable copy) stays.
!macro REMOVE_STALE_RUN_VALUE ROOT
  ClearErrors
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "Tallivo"
  ${IfNot} ${Errors}
    Push $0
    Call un.RunValueProgram
    Pop $0
    ${IfNot} ${FileExists} "$0"
      DeleteRegValue ${ROOT} "${RUN_KEY}" "Tallivo"
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  SetShellVarContext current
  Call un.StopTallivo

  Delete "$INSTDIR\Tallivo.exe"
  Delete "$INSTDIR\TallivoHook.dll"
  Delete "$INSTDIR\TallivoTaskHook.dll"
  Delete "$INSTDIR\SkinH.dll"
  ; The program's start-with-Windows marker.
  Delete "$INSTDIR\AuTo.dat"
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: reports the user saved there are the user's.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tallivo.lnk"

  ; The program writes the per-user value; older versions wrote the
  ; machine-wide one, which needs rights the uninstaller may not have:
  ; without them the value stays (it was written with them). Both registry
  ; views: a 32-bit and a 64-bit Tallivo each wrote their own.
  !insertmacro REMOVE_STALE_RUN_VALUE HKCU
  !insertmacro REMOVE_STALE_RUN_VALUE HKLM
!if "${ARCH}" == "x64"
  SetRegView 32
  !insertmacro REMOVE_STALE_RUN_VALUE HKLM
  SetRegView default
!else
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro REMOVE_STALE_RUN_VALUE HKLM
    SetRegView default
  ${EndIf}
!endif

  DeleteRegKey HKCU "${UNINST_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepStats)" /SD IDYES IDYES keep
    DeleteRegKey HKCU "${STATS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Tallivo"
  keep:
SectionEnd
