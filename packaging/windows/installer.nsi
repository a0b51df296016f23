; ModemWizard-Setup.exe: the Windows programs of the modem firmware wizard,
; installed for every user of the machine into Program Files, with a
; Start-menu folder, the entry in Apps / Add or Remove Programs and an
; uninstaller that takes away what this installed and nothing else.
;
; Built by packaging/windows/CMakeLists.txt (make installer), which passes
;   TARGET   the stub: amd64-unicode, or x86-unicode for a 32-bit build
;   VERSION  the project's version, VERSION4 the same in four numbers
;   FILES    the generated list of the program directory's files
;   OUTFILE  where the installer goes
;   GUI      defined when Wizard.exe is among the files
;
; Silent: ModemWizard-Setup.exe /S [/D=C:\Path\To\Folder] (/D last, unquoted),
;         "<folder>\Uninstall.exe" /S

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include FileFunc.nsh
!include MUI2.nsh
!include ${FILES}

!define NAME "Modem Firmware Wizard"
!define PUBLISHER "Modem Firmware Wizard developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ModemFirmwareWizard"
!define MENU_FOLDER "$SMPROGRAMS\${NAME}"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
!if ${TARGET} == "amd64-unicode"
InstallDir "$PROGRAMFILES64\${NAME}"
!else
InstallDir "$PROGRAMFILES\${NAME}"
!endif
; Installing again goes where the first installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${VERSION4}
VIFileVersion ${VERSION4}
VIAddVersionKey /LANG=1033 ProductName "${NAME}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "${NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "${PUBLISHER}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef GUI
!define MUI_FINISHPAGE_RUN "$INSTDIR\Wizard.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start the ${NAME}"
!endif
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  ; Shortcuts for every user, as the programs are.
  SetShellVarContext all
  !insertmacro INSTALL_PROGRAM_FILES
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
!ifdef GUI
  CreateShortcut "${MENU_FOLDER}\${NAME}.lnk" "$INSTDIR\Wizard.exe" "" \
                 "$INSTDIR\Wizard.exe" 0 SW_SHOWNORMAL "" "Update the firmware of a modem"
!endif
  CreateShortcut "${MENU_FOLDER}\Uninstall ${NAME}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
!ifdef GUI
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Wizard.exe"
!else
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe"
!endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
!ifdef GUI
  Delete "${MENU_FOLDER}\${NAME}.lnk"
!endif
  Delete "${MENU_FOLDER}\Uninstall ${NAME}.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The files one by one and the folders only when empty, so that what a
  ; user put there stays. The program folder goes last.
  !insertmacro REMOVE_PROGRAM_FILES
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
