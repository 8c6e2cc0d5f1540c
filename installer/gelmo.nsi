; The setup program of ゲルモ: one file that installs both programs, chooses
; the screen saver, records itself in Apps & Features and brings its
; uninstaller.  Built by installer/CMakeLists.txt with makensis:
;   -DTARGET=x86-unicode|amd64-unicode  the stub: 32-bit or 64-bit programs
;   -DSCR=... -DRENDERER=...            the two programs to install
;   -DICON=...  -DVERSION=x.y.z  -DOUTFILE=...
;
; For the current user (the default) it needs no administrator: the programs
; go to %LOCALAPPDATA%\Programs\ゲルモ.  For everyone (/ALLUSERS, or the choice
; on the first page) it asks for elevation and installs into the folder where
; the system lists screen savers for good.  /S is silent, /D=folder (last on
; the command line) sets the folder.  ゲルモ.ini, the user's settings beside the
; programs, is never written by the setup, and kept by the uninstaller unless
; the user asks otherwise.

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
; The setup starts as the user; elevation is asked for only for everyone.
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "ゲルモ"
!define PUBLISHER "ゲルモ"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gelmo"
!define UNINSTALLER "gelmo-uninstall.exe"
!define DESKTOP_KEY "Control Panel\Desktop"
; The windows of a running copy: the settings dialog, the renderer, the saver.
!define DIALOG_CAPTION "<ゲルモ>"
!define RENDERER_CAPTION "Gelmo_VC"
!define SAVER_CAPTION "Gelmo_Main"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText " "
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var Mode          ; "current" or "all"
Var ModeFixed     ; 1 when the command line chose the mode
Var DirGiven      ; 1 when /D= chose the folder
Var ModeMe        ; the first page's two choices
Var ModeAll
Var UserLocal     ; the user's own %LOCALAPPDATA%, whichever mode
Var DeleteSettings
Var DeleteSettingsBox

; ---------------------------------------------------------------- pages

Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.ConfirmPage un.ConfirmPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for users whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString ModeTitle ${LANG_ENGLISH} "Who is it for?"
LangString ModeTitle ${LANG_JAPANESE} "だれが使いますか"
LangString ModeSubtitle ${LANG_ENGLISH} "Choose who may pick $(^NameDA) as their screen saver."
LangString ModeSubtitle ${LANG_JAPANESE} "$(^NameDA) をスクリーン セーバーに選べる人を決めてください。"
LangString ModeText ${LANG_ENGLISH} "$(^NameDA) turns a photo, a folder of photos or the desktop into a soft, wobbling sheet in front of a turning backdrop, with music."
LangString ModeText ${LANG_JAPANESE} "$(^NameDA) は、写真やフォルダの写真、デスクトップを、回る背景の前でやわらかく揺れるシートにします。音楽も流せます。"
LangString ModeMe ${LANG_ENGLISH} "Just for me (no administrator rights needed)"
LangString ModeMe ${LANG_JAPANESE} "自分だけ (管理者の権限は要りません)"
LangString ModeAll ${LANG_ENGLISH} "For everyone on this computer (needs administrator rights)"
LangString ModeAll ${LANG_JAPANESE} "このコンピューターのすべてのユーザー (管理者の権限が要ります)"
LangString ElevationRefused ${LANG_ENGLISH} "Installing for everyone needs administrator rights. Choose $\"Just for me$\" to install without them."
LangString ElevationRefused ${LANG_JAPANESE} "すべてのユーザーに入れるには管理者の権限が要ります。権限なしで入れるには「自分だけ」を選んでください。"
LangString OpenSettings ${LANG_ENGLISH} "Open the screen saver settings"
LangString OpenSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString DialogOpen ${LANG_ENGLISH} "The settings of $(^NameDA) are open. Close them, then choose Retry."
LangString DialogOpen ${LANG_JAPANESE} "$(^NameDA) の設定画面が開いています。閉じてから「再試行」を選んでください。"
LangString UnTitle ${LANG_ENGLISH} "Uninstall $(^NameDA)"
LangString UnTitle ${LANG_JAPANESE} "$(^NameDA) のアンインストール"
LangString UnSubtitle ${LANG_ENGLISH} "Remove $(^NameDA) from this computer."
LangString UnSubtitle ${LANG_JAPANESE} "$(^NameDA) をこのコンピューターから削除します。"
LangString UnText ${LANG_ENGLISH} "$(^NameDA) will be removed from this folder:"
LangString UnText ${LANG_JAPANESE} "$(^NameDA) を次のフォルダから削除します:"
LangString UnKeepText ${LANG_ENGLISH} "Your settings (${PRODUCT}.ini) stay, for a later installation."
LangString UnKeepText ${LANG_JAPANESE} "設定 (${PRODUCT}.ini) は、あとでまた入れるときのために残ります。"
LangString DeleteSettingsText ${LANG_ENGLISH} "Delete the settings too"
LangString DeleteSettingsText ${LANG_JAPANESE} "設定も削除する"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PUBLISHER}"

; ---------------------------------------------------------------- shared

; Pushes 1 when this process has administrator rights (an administrator's
; token that is not elevated does not count), else 0.
!macro IsAdminFunction UN
Function ${UN}IsAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    Push 1
  ${Else}
    Push 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro IsAdminFunction ""
!insertmacro IsAdminFunction "un."

; Ends the process that owns window $0: asked to close first (the dialog
; closes as with its close box, saving nothing; the renderer's end ends the
; saver), ended outright after five seconds.
!macro EndWindowProcessFunction UN
Function ${UN}EndWindowProcess
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
  ; SYNCHRONIZE | PROCESS_TERMINATE
  System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'
  System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
  ${If} $2 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i .r3'
    ${If} $3 <> 0
      System::Call 'kernel32::TerminateProcess(p r2, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
FunctionEnd
!macroend
!insertmacro EndWindowProcessFunction ""
!insertmacro EndWindowProcessFunction "un."

; Before the programs are replaced or removed: an open settings dialog is
; the user's to close (a silent run closes it, which saves nothing); a
; running saver is ended, so that no program file is in use.
!macro EndRunningCopiesFunction UN
Function ${UN}EndRunningCopies
  ${Do}
    System::Call 'user32::FindWindowW(p 0, w "${DIALOG_CAPTION}") p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      Call ${UN}EndWindowProcess
    ${Else}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(DialogOpen)" IDRETRY +2
      Abort
    ${EndIf}
  ${Loop}
  System::Call 'user32::FindWindowW(p 0, w "${RENDERER_CAPTION}") p .r0'
  ${If} $0 P<> 0
    Call ${UN}EndWindowProcess
  ${EndIf}
  System::Call 'user32::FindWindowW(p 0, w "${SAVER_CAPTION}") p .r0'
  ${If} $0 P<> 0
    Call ${UN}EndWindowProcess
  ${EndIf}
FunctionEnd
!macroend
!insertmacro EndRunningCopiesFunction ""
!insertmacro EndRunningCopiesFunction "un."

; Starts this program again with administrator rights and the given
; parameters, and ends this copy; a refused prompt sets the error flag and
; returns.
!macro RelaunchElevatedFunction UN
Function ${UN}RelaunchElevated
  Exch $0
  ClearErrors
  ExecShell "runas" "$EXEPATH" "$0"
  ${IfNot} ${Errors}
    Quit
  ${EndIf}
  Pop $0
FunctionEnd
!macroend
!insertmacro RelaunchElevatedFunction ""
!insertmacro RelaunchElevatedFunction "un."

; ---------------------------------------------------------------- installer

; The folder the system lists screen savers from: 32-bit programs on 64-bit
; Windows are listed from SysWOW64.
Function SystemSaverFolder
!if "${TARGET}" == "amd64-unicode"
  Push "$WINDIR\System32"
!else
  ${If} ${RunningX64}
    Push "$WINDIR\SysWOW64"
  ${Else}
    Push "$WINDIR\System32"
  ${EndIf}
!endif
FunctionEnd

; Takes $Mode: the registry root and folders of that mode, and the folder
; (where this mode installed before, else its default) unless /D= gave one.
Function ApplyMode
  ${If} $Mode == "all"
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  ${If} $DirGiven == 1
    Return
  ${EndIf}
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${ElseIf} $Mode == "all"
    Call SystemSaverFolder
    Pop $INSTDIR
  ${Else}
    StrCpy $INSTDIR "$UserLocal\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

; The parameters that start this setup again in the mode for everyone.
Function AllUsersParameters
  StrCpy $0 "/ALLUSERS"
  ${If} ${Silent}
    StrCpy $0 "/S $0"
  ${EndIf}
  ${If} $DirGiven == 1
    StrCpy $0 "$0 /D=$INSTDIR"
  ${EndIf}
  Push $0
FunctionEnd

Function .onInit
  SetShellVarContext current
  StrCpy $UserLocal $LOCALAPPDATA
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}
  ${GetParameters} $R0
  StrCpy $Mode "current"
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $Mode "all"
    StrCpy $ModeFixed 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $R1
  ${IfNot} ${Errors}
    StrCpy $Mode "current"
    StrCpy $ModeFixed 1
  ${EndIf}
  ; Run again over a copy for everyone, the first page offers that mode.
  ${If} $ModeFixed != 1
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${AndIf} $1 != ""
      StrCpy $Mode "all"
    ${EndIf}
  ${EndIf}
  ${If} $Mode == "all"
  ${AndIf} $ModeFixed == 1
    Call IsAdmin
    Pop $0
    ${If} $0 != 1
      Call AllUsersParameters
      Call RelaunchElevated
      ; The prompt was refused: nothing is installed.
      SetErrorLevel 5  ; ERROR_ACCESS_DENIED
      Quit
    ${EndIf}
  ${EndIf}
  Call ApplyMode
FunctionEnd

Function ModePage
  ${If} $ModeFixed == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "$(ModeText)"
  Pop $0
  ${NSD_CreateRadioButton} 10u 40u -10u 14u "$(ModeMe)"
  Pop $ModeMe
  ${NSD_AddStyle} $ModeMe ${WS_GROUP}
  ${NSD_CreateRadioButton} 10u 58u -10u 14u "$(ModeAll)"
  Pop $ModeAll
  ${If} $Mode == "all"
    ${NSD_Check} $ModeAll
    ${NSD_SetFocus} $ModeAll
  ${Else}
    ${NSD_Check} $ModeMe
    ${NSD_SetFocus} $ModeMe
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeAll $0
  ${If} $0 == ${BST_CHECKED}
    Call IsAdmin
    Pop $0
    ${If} $0 != 1
      Call AllUsersParameters
      Call RelaunchElevated
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(ElevationRefused)"
      Abort
    ${EndIf}
    StrCpy $Mode "all"
  ${Else}
    StrCpy $Mode "current"
  ${EndIf}
  Call ApplyMode
FunctionEnd

; Puts one program in place.  A program the system still runs (the preview
; in the screen saver settings) cannot be overwritten but can be renamed:
; the old copy moves aside and goes at the next setup or the uninstall.
!macro PutProgram NAME SOURCE
  Delete "$INSTDIR\${NAME}.old"
  ClearErrors
  Delete "$INSTDIR\${NAME}"
  ${If} ${Errors}
    Rename "$INSTDIR\${NAME}" "$INSTDIR\${NAME}.old"
  ${EndIf}
  File "/oname=${NAME}" "${SOURCE}"
!macroend

; Makes ゲルモ the user's screen saver.  The value it replaces is kept in the
; uninstall entry, unless ゲルモ was already the one chosen (an upgrade).
; The value names the program by its short path where the volume has one:
; that is how the system starts a screen saver when the computer is idle.
Function ChooseScreenSaver
  GetFullPathName /SHORT $1 "$INSTDIR\${PRODUCT}.scr"
  ${If} $1 == ""
    StrCpy $1 "$INSTDIR\${PRODUCT}.scr"
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    DeleteRegValue SHCTX "${UNINST_KEY}" "PreviousScreenSaver"
  ${ElseIf} $0 != $1
  ${AndIf} $0 != "$INSTDIR\${PRODUCT}.scr"
    WriteRegStr SHCTX "${UNINST_KEY}" "PreviousScreenSaver" $0
  ${Else}
    Goto chosen
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
  ${If} ${Errors}
    DeleteRegValue SHCTX "${UNINST_KEY}" "PreviousScreenSaveActive"
  ${Else}
    WriteRegStr SHCTX "${UNINST_KEY}" "PreviousScreenSaveActive" $0
  ${EndIf}
chosen:
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
  WriteRegStr SHCTX "${UNINST_KEY}" "ChosenScreenSaver" $1
  ; SPI_SETSCREENSAVEACTIVE, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE: the
  ; system takes the change at once and writes ScreenSaveActive itself.
  System::Call 'user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)'
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Function WriteUninstallEntry
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.scr"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
FunctionEnd

Section "${PRODUCT}"
  SectionIn RO
  Call EndRunningCopies
  SetOutPath "$INSTDIR"
  !insertmacro PutProgram "${PRODUCT}.scr" "${SCR}"
  !insertmacro PutProgram "${PRODUCT}.dll" "${RENDERER}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Call ChooseScreenSaver
  Call WriteUninstallEntry
SectionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; ---------------------------------------------------------------- uninstaller

Function un.onInit
  SetShellVarContext current
  StrCpy $UserLocal $LOCALAPPDATA
  ; For everyone when the machine-wide entry names this folder.
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
    Call un.IsAdmin
    Pop $0
    ${If} $0 != 1
      StrCpy $0 "_?=$INSTDIR"
      ${If} ${Silent}
        StrCpy $0 "/S $0"
      ${EndIf}
      Push $0
      Call un.RelaunchElevated
      SetErrorLevel 5  ; ERROR_ACCESS_DENIED
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.ConfirmPage
  !insertmacro MUI_HEADER_TEXT "$(UnTitle)" "$(UnSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 12u "$(UnText)"
  Pop $0
  ${NSD_CreateText} 0 14u 100% 13u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateLabel} 0 40u 100% 20u "$(UnKeepText)"
  Pop $0
  ${NSD_CreateCheckbox} 0 62u 100% 14u "$(DeleteSettingsText)"
  Pop $DeleteSettingsBox
  ; The page's one choice has the focus: Space ticks it, Enter uninstalls.
  ${NSD_SetFocus} $DeleteSettingsBox
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.ConfirmPageLeave
  ${NSD_GetState} $DeleteSettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $DeleteSettings 1
  ${EndIf}
FunctionEnd

; Puts back the screen saver that ゲルモ replaced, if ゲルモ is still the one
; chosen (by the value the setup wrote, or by its long path): the value it
; had, or none.
Function un.RestoreScreenSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 SHCTX "${UNINST_KEY}" "ChosenScreenSaver"
  ${If} $0 != $1
  ${AndIf} $0 != "$INSTDIR\${PRODUCT}.scr"
    Return
  ${EndIf}
  ClearErrors
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "PreviousScreenSaver"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  ${EndIf}
  ClearErrors
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "PreviousScreenSaveActive"
  ${IfNot} ${Errors}
    IntOp $1 $0 + 0
    System::Call 'user32::SystemParametersInfoW(i 17, i r1, p 0, i 3)'
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $0
  ${EndIf}
FunctionEnd

; Removes a file from where it is and from the user's VirtualStore, where
; Windows keeps a standard user's copy of a file in a protected folder.
!macro RemoveWithVirtualStore PATH
  Delete "${PATH}"
  StrCpy $0 "${PATH}" "" 3
  Delete "$UserLocal\VirtualStore\$0"
!macroend

Section "Uninstall"
  Call un.EndRunningCopies
  Delete "$INSTDIR\${PRODUCT}.scr"
  Delete "$INSTDIR\${PRODUCT}.dll"
  Delete "$INSTDIR\${PRODUCT}.scr.old"
  Delete "$INSTDIR\${PRODUCT}.dll.old"
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} $DeleteSettings == 1
    !insertmacro RemoveWithVirtualStore "$INSTDIR\${PRODUCT}.ini"
    !insertmacro RemoveWithVirtualStore "$INSTDIR\${PRODUCT}.ini.bak"
  ${EndIf}
  RMDir "$INSTDIR"
  ; The pictures the saver hands its renderer.
  !insertmacro RemoveWithVirtualStore "C:\Gelmo01.bmp"
  !insertmacro RemoveWithVirtualStore "C:\Gelmo01-*.bmp"  ; the other monitors' pictures
  !insertmacro RemoveWithVirtualStore "C:\Gelmo02.bmp"
  !insertmacro RemoveWithVirtualStore "C:\Gelmo01.tmp"
  Call un.RestoreScreenSaver
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
