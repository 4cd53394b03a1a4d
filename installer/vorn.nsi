; Vorn's per-user installer: no administrator rights, everything under the
; user's own folders and registry hive.
;
;   makensis -DVERSION=1.1.0 -DSCR_FILE=<64-bit Vorn.scr> -DOUT_FILE=<setup.exe>
;            [-DICON_FILE=<vorn.ico>] vorn.nsi
;
; Installs Vorn.scr to %LOCALAPPDATA%\Programs\Vorn (where Vorn.ini beside it
; stays writable), makes it the current screen saver and registers an
; uninstaller. The screen saver that was chosen before is remembered under
; HKCU\Software\Vorn and given back on uninstall. The user's own Start menu
; gets a Vorn folder with a way back to Vorn's settings and to Windows' screen
; saver settings. /S installs and uninstalls silently.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "define VERSION (e.g. -DVERSION=1.1.0)"
!endif
!ifndef SCR_FILE
  !error "define SCR_FILE, the 64-bit Vorn.scr to install"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "Vorn-${VERSION}-setup.exe"
!endif

!include "LogicLib.nsh"

!define PRODUCT "Vorn"
!define PUBLISHER "Vorn developers"
!define VORN_KEY "Software\Vorn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"
!define ACTIVE_VALUE "ScreenSaveActive"
!define PREVIOUS_SAVER "PreviousScreenSaver"
!define PREVIOUS_ACTIVE "PreviousScreenSaveActive"
!define UNINSTALLER "uninstall.exe"
; The Start-menu folder ($SMPROGRAMS is the user's own: the installer does not
; ask for all users) and its two shortcuts.
!define MENU_DIR "$SMPROGRAMS\Vorn"
!define VORN_SETTINGS_LINK "${MENU_DIR}\Vorn settings.lnk"
!define SAVER_SETTINGS_LINK "${MENU_DIR}\Screen saver settings.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Vorn"
ShowInstDetails show
ShowUninstDetails show
!ifdef ICON_FILE
  Icon "${ICON_FILE}"
  UninstallIcon "${ICON_FILE}"
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Copies one value of the desktop settings into HKCU\Software\Vorn, if it is set.
!macro RememberDesktopValue VALUE REMEMBERED
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${VALUE}"
  ${IfNot} ${Errors}
    WriteRegStr HKCU "${VORN_KEY}" "${REMEMBERED}" "$0"
  ${EndIf}
!macroend

; Puts a remembered desktop value back, or removes the value if none was set.
!macro RestoreDesktopValue VALUE REMEMBERED
  ClearErrors
  ReadRegStr $0 HKCU "${VORN_KEY}" "${REMEMBERED}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${VALUE}"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "${VALUE}" "$0"
  ${EndIf}
!macroend

Section "Vorn"
  SetOutPath "$INSTDIR"
  File "/oname=Vorn.scr" "${SCR_FILE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Only the first installation remembers the screen saver it replaces: a
  ; second one would remember Vorn itself.
  ClearErrors
  ReadRegStr $1 HKCU "${VORN_KEY}" "InstallDir"
  ${If} ${Errors}
    !insertmacro RememberDesktopValue "${SAVER_VALUE}" "${PREVIOUS_SAVER}"
    !insertmacro RememberDesktopValue "${ACTIVE_VALUE}" "${PREVIOUS_ACTIVE}"
  ${EndIf}
  WriteRegStr HKCU "${VORN_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" "$INSTDIR\Vorn.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${ACTIVE_VALUE}" "1"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vorn.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; Newer Windows hides the screen saver settings deep in its own, so the
  ; Start menu leads back to them. Installing again overwrites the same two
  ; files. Vorn.scr /c opens Vorn's settings dialog.
  CreateDirectory "${MENU_DIR}"
  CreateShortcut "${VORN_SETTINGS_LINK}" "$INSTDIR\Vorn.scr" "/c" \
      "$INSTDIR\Vorn.scr" 0 SW_SHOWNORMAL "" "Open Vorn's settings"
  ; Windows' classic Screen Saver Settings dialog, where a user chooses the
  ; saver, the wait, and tries it: control.exe opens it with this argument
  ; from Windows 7 on. The Settings app's Lock screen page (ms-settings:)
  ; only links to this same dialog, one more click away.
  CreateShortcut "${SAVER_SETTINGS_LINK}" "$SYSDIR\control.exe" \
      "desk.cpl,,@screensaver" "" 0 SW_SHOWNORMAL "" \
      "Open Windows' screen saver settings"
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Vorn.scr"
  Delete "$INSTDIR\Vorn.ini"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "${VORN_SETTINGS_LINK}"
  Delete "${SAVER_SETTINGS_LINK}"
  RMDir "${MENU_DIR}"  ; only when empty: not what the user put there

  ; The screen saver goes back to the one chosen before Vorn, unless the
  ; user has picked another one since.
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  ${If} $1 == "$INSTDIR\Vorn.scr"
    !insertmacro RestoreDesktopValue "${SAVER_VALUE}" "${PREVIOUS_SAVER}"
    !insertmacro RestoreDesktopValue "${ACTIVE_VALUE}" "${PREVIOUS_ACTIVE}"
  ${EndIf}
  DeleteRegKey HKCU "${VORN_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
