; The per-user installer of 雁格输入法按键面板, the key panel. It asks for no administrator rights:
; everything goes into the user's own folders and HKCU.
;
;   makensis -INPUTCHARSET UTF8 -DYG_VERSION=1.2.3 -DYG_STAGE=<folder> -DYG_ICON=<.ico>
;            -DYG_OUTFILE=<setup.exe> ygpanel.nsi
;
; YG_STAGE holds ygpanel.exe and ygHelp.chm. Silent install and uninstall: /S. /AUTOSTART
; starts the panel at sign-in, as the last page's checkbox does (unchecked unless asked).

Unicode true
; ygpanel.exe is a 64-bit program: a 64-bit installer refuses 32-bit Windows by itself.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!ifndef YG_VERSION | YG_STAGE | YG_ICON | YG_OUTFILE
  !error "Define YG_VERSION, YG_STAGE, YG_ICON and YG_OUTFILE (see the top of this file)"
!endif

; The install folder and the Start-menu folder keep the name released versions gave them.
!define PRODUCT "雁格输入法"
!define PANEL_NAME "雁格输入法按键面板"
!define HELP_NAME "雁格输入法按键面板帮助"
; The shortcuts' names in released versions, removed at an upgrade.
!define OLD_PANEL_NAME "雁格输入法键盘"
!define OLD_HELP_NAME "雁格输入法帮助"
!define PUBLISHER "雁格"
!define COPYRIGHT "版权所有 © 2026 雁格"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ygpanel"
; The window class of the panel's main window (platform/win32/panel_window_win.cpp).
!define PANEL_CLASS "YgKeyPanel"
; Where Windows finds the programs it starts at sign-in, and the panel's value there; the panel's
; own settings (panel/settings.h, platform/win32/settings_win.h).
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "雁格输入法按键面板"
; The name released versions wrote the value under; the panel still reads it.
!define OLD_RUN_VALUE "雁格输入法键盘"
; Where Task Manager and Settings record, under the same name, a sign-in value the user turned off.
!define APPROVAL_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SETTINGS_PARENT "Software\雁格输入法"
!define SETTINGS_KEY "${SETTINGS_PARENT}\键盘面板"

Name "${PANEL_NAME}"
Caption "${PANEL_NAME} ${YG_VERSION} 安装"
UninstallCaption "${PANEL_NAME} ${YG_VERSION} 卸载"
BrandingText "${PANEL_NAME} ${YG_VERSION}"
OutFile "${YG_OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${YG_ICON}"
!define MUI_UNICON "${YG_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ygpanel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "打开${PANEL_NAME}"
; The finish page's second checkbox, meant for a readme, serves the start at sign-in.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "开机时启动"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartAtSignIn
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${YG_VERSION}.0"
VIFileVersion "${YG_VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PANEL_NAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PANEL_NAME} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${YG_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${YG_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${COPYRIGHT}"

; What the panel's own menu item 开机时启动 does: the quoted path of the exe, and no record left
; that the user once turned it off, which would keep Windows from starting it.
; A value under the earlier name is replaced, as the panel replaces it.
Function StartAtSignIn
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\ygpanel.exe"'
  DeleteRegValue HKCU "${APPROVAL_KEY}" "${RUN_VALUE}"
  DeleteRegValue HKCU "${RUN_KEY}" "${OLD_RUN_VALUE}"
  DeleteRegValue HKCU "${APPROVAL_KEY}" "${OLD_RUN_VALUE}"
FunctionEnd

; The installed files that a running program can hold open: the help viewer holds ygHelp.chm, a
; running panel ygpanel.exe. Neither can then be replaced or deleted. Each is dealt with, retried
; for five seconds while a program still holds it. The help file goes first: the help viewer is
; the user's to close, and while it holds the file nothing else changes, not even the panel. It is
; only moved aside, though, until ygpanel.exe is gone as well: a panel that cannot be closed (one
; run as administrator takes no WM_CLOSE from the installer) keeps its help. Then the panel's
; windows are asked to close (the panel asks nothing on WM_CLOSE; it only saves its settings) and
; ygpanel.exe is deleted, retried while its process is still ending. $R0 names the file that
; stays (empty when none does).
!macro YG_RELEASE_FILES un
; Deletes a file, or renames it to a second name when one is given (after deleting what has that
; name), retried for five seconds while a program holds it: Push <file>, Push <new name or "">.
; $R0 names the file when it stays.
Function ${un}FreeHeldFile
  Exch $1
  Exch
  Exch $0
  Push $2
  ${If} $1 != ""
    Delete $1
  ${EndIf}
  StrCpy $2 0
  ${Do}
    ${If} $1 == ""
      Delete $0
    ${Else}
      Rename $0 $1
    ${EndIf}
    ${IfNot} ${FileExists} $0
    ${OrIf} $2 >= 50
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $2 $2 + 1
  ${Loop}
  ${If} ${FileExists} $0
    StrCpy $R0 $0
  ${EndIf}
  Pop $2
  Pop $0
  Pop $1
FunctionEnd

Function ${un}ReleaseFiles
  StrCpy $R0 ""
  Push "$INSTDIR\ygHelp.chm"
  Push "$INSTDIR\ygHelp.chm.yg-old"
  Call ${un}FreeHeldFile
  ${If} $R0 != ""
    Return
  ${EndIf}
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${PANEL_CLASS}"
    ${If} $0 = 0
    ${OrIf} $1 >= 50
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
  Pop $1
  Pop $0
  Push "$INSTDIR\ygpanel.exe"
  Push ""
  Call ${un}FreeHeldFile
  ${If} $R0 != ""
    Rename "$INSTDIR\ygHelp.chm.yg-old" "$INSTDIR\ygHelp.chm"
  ${Else}
    Delete "$INSTDIR\ygHelp.chm.yg-old"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro YG_RELEASE_FILES ""
!insertmacro YG_RELEASE_FILES "un."

Section "ygpanel"
  SetShellVarContext current
  Call ReleaseFiles
  ${If} $R0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$R0 仍被打开，无法替换。请关闭${PANEL_NAME}和它的帮助后再安装。" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${YG_STAGE}/ygpanel.exe"
  File "${YG_STAGE}/ygHelp.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The working folder of the shortcuts is the output path: the install folder.
  Delete "$SMPROGRAMS\${PRODUCT}\${OLD_PANEL_NAME}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${OLD_HELP_NAME}.lnk"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PANEL_NAME}.lnk" "$INSTDIR\ygpanel.exe" "" \
    "$INSTDIR\ygpanel.exe" 0 SW_SHOWNORMAL "" "${PANEL_NAME}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${HELP_NAME}.lnk" "$INSTDIR\ygHelp.chm" "" \
    "" 0 SW_SHOWNORMAL "" "${HELP_NAME}"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PANEL_NAME}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${YG_VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\ygpanel.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0

  ; Without the switch an upgrade leaves the user's choice as it is.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    Call StartAtSignIn
  ${EndIf}
SectionEnd

; Only what the installer put there goes: a file of the user's in the folder keeps the folder.
; While a file stays, so do the uninstaller and its entry: the user can uninstall again once the
; file is free.
Section "Uninstall"
  SetShellVarContext current
  Call un.ReleaseFiles
  ${If} $R0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$R0 仍被打开，无法删除。请关闭${PANEL_NAME}和它的帮助后再卸载。" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PANEL_NAME}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${HELP_NAME}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegKey HKCU "${UNINST_KEY}"
  ; The panel saved its settings when the panel was closed above; they go too, and the folder
  ; of the input method's keys only if nothing else of it is left there.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegValue HKCU "${APPROVAL_KEY}" "${RUN_VALUE}"
  DeleteRegValue HKCU "${RUN_KEY}" "${OLD_RUN_VALUE}"
  DeleteRegValue HKCU "${APPROVAL_KEY}" "${OLD_RUN_VALUE}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
SectionEnd
