; Tarnwell's Windows setup. It installs for the user who runs it, needing no administrator:
; the programs, README.txt and LICENSE.txt in %LOCALAPPDATA%\Programs\Tarnwell, a Start menu
; entry and a "Send to" entry, optionally a desktop shortcut and the start at sign-in, and an
; entry in Windows' list of installed apps. A newer version installed over an older one
; replaces the programs and keeps the user's choices, settings and store folder; so does the
; uninstaller, which removes only what setup made. /S installs and uninstalls silently.
;
; The Windows tree's `package` target runs it (cmake/windows_setup.cmake):
;   makensis -DVERSION=1.1.0 -DFILES=folder -DOUTFILE=tarnwell-1.1.0-setup.exe tarnwell-setup.nsi
; with FILES the folder of the zip's files.

!ifndef VERSION | FILES | OUTFILE
  !error "Give VERSION, FILES and OUTFILE with -D"
!endif

; A 64-bit setup for a 64-bit program.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define PUBLISHER "The Tarnwell developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwell"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class: a WM_CLOSE to it ends Tarnwell as its close box does.
!define WINDOW_CLASS "Z88_Server_Window_Class"

Name "Tarnwell"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarnwell"
; Where an earlier setup put it (a silent install may have been given another folder with /D).
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tarnwell ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Tarnwell"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Tarnwell ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 The Tarnwell developers"

!define MUI_ICON "${__FILEDIR__}/tarnwell.ico"
!define MUI_UNICON "${__FILEDIR__}/tarnwell.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tarnwell is installed for you alone. Choose what else setup should do."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwell.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Tarnwell now"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; Ends a running Tarnwell, in the setup and in the uninstaller alike: its files cannot be
; replaced while it runs. It is asked to close as its close box asks; a transfer in progress
; ends first. One that is still there after ten seconds is left to the user to close (Retry),
; or setup stops (Cancel, and always in a silent run).
!macro CLOSE_TARNWELL un
Function ${un}CloseTarnwell
  retry:
  FindWindow $0 "${WINDOW_CLASS}"
  ${If} $0 == 0
    Return
  ${EndIf}
  DetailPrint "Closing Tarnwell"
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
  StrCpy $1 0
  ${Do}
    Sleep 250
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 == 0
      ; The window is gone; the process ends a moment later.
      Sleep 1000
      Return
    ${EndIf}
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 40
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "Tarnwell is still running, perhaps in the middle of a transfer.$\n$\nClose it, then choose Retry." \
    /SD IDCANCEL IDRETRY retry
  Abort "Tarnwell is still running."
FunctionEnd
!macroend
!insertmacro CLOSE_TARNWELL ""
!insertmacro CLOSE_TARNWELL "un."

Section "Tarnwell (required)" ProgramSection
  SectionIn RO
  Call CloseTarnwell
  SetOutPath "$INSTDIR"
  File "${FILES}/tarnwell.exe"
  File "${FILES}/tarnwell-cli.exe"
  File "${FILES}/README.txt"
  File "${FILES}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tarnwell.lnk" "$INSTDIR\tarnwell.exe"
  CreateShortcut "$SENDTO\Tarnwell.lnk" "$INSTDIR\tarnwell.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarnwell"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwell.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Desktop shortcut" DesktopSection
  CreateShortcut "$DESKTOP\Tarnwell.lnk" "$INSTDIR\tarnwell.exe"
SectionEnd

; The same value as the menu's "Start with Windows" writes.
Section /o "Start Tarnwell when I sign in to Windows" AutostartSection
  WriteRegStr HKCU "${RUN_KEY}" "Tarnwell" '"$INSTDIR\tarnwell.exe"'
SectionEnd

; A choice turned off on the components page undoes what it did before.
Section "-Choices turned off"
  ${IfNot} ${SectionIsSelected} ${DesktopSection}
    Delete "$DESKTOP\Tarnwell.lnk"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${AutostartSection}
    DeleteRegValue HKCU "${RUN_KEY}" "Tarnwell"
  ${EndIf}
SectionEnd

; The choices start as they stand: an upgrade, silent or not, keeps them.
Function .onInit
  ${If} ${FileExists} "$DESKTOP\Tarnwell.lnk"
    !insertmacro SelectSection ${DesktopSection}
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "Tarnwell"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${AutostartSection}
  ${EndIf}
FunctionEnd

; Removes what setup made; the settings and the store folder are the user's and stay.
Section "Uninstall"
  Call un.CloseTarnwell
  Delete "$INSTDIR\tarnwell.exe"
  Delete "$INSTDIR\tarnwell-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a file the user put there stays, and its folder with it.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tarnwell.lnk"
  Delete "$SENDTO\Tarnwell.lnk"
  Delete "$DESKTOP\Tarnwell.lnk"
  ; The start at sign-in of this copy; one of another copy (an unpacked zip) is not ours.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Tarnwell"
  ${If} $0 == '"$INSTDIR\tarnwell.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Tarnwell"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
