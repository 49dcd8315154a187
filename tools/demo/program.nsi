; One installer script for every NSIS-installed demo product; tools/demo/CMakeLists.txt
; passes each product's facts as /D defines:
;   NAME PUBLISHER VERSION EXE EXE_PATH ICON KEY FOLDER SIZE_KB HELP_URL ABOUT_URL OUTFILE
;   VIEW      32 (default view), 64 (64-bit view), twin (both views) or user (per-user)
;   DATE      a fixed install date yyyymmdd, or DAYS_AGO: the date that many days before
;             the day of installation
; The uninstaller deliberately leaves the product's settings (application data and its
; HKCU key) behind, as so many real uninstallers do, so there is something left to find.

Unicode true
SetCompressor /SOLID lzma
Name "${NAME}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show
ShowUninstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${KEY}"
!define SETTINGS_KEY "Software\${PUBLISHER}\${FOLDER}"

!if "${VIEW}" == "user"
  RequestExecutionLevel user
  !define ROOT HKCU
  InstallDir "$LOCALAPPDATA\Programs\${FOLDER}"
!else
  RequestExecutionLevel admin
  !define ROOT HKLM
  !if "${VIEW}" == "64"
    InstallDir "$PROGRAMFILES64\${FOLDER}"
  !else
    InstallDir "$PROGRAMFILES32\${FOLDER}"
  !endif
!endif

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro SelectContext
  !if "${VIEW}" == "user"
    SetShellVarContext current
  !else
    SetShellVarContext all
  !endif
  !if "${VIEW}" == "64"
    SetRegView 64
  !else
    SetRegView 32
  !endif
!macroend

!ifdef DAYS_AGO
; $0 = yyyymmdd of the local date $0 days ago.
Function DaysAgo
  System::Call '*(&i16) p .r1'
  System::Call 'kernel32::GetLocalTime(p r1)'
  System::Call 'kernel32::SystemTimeToFileTime(p r1, *l .r2)'
  System::Int64Op $0 * 864000000000
  Pop $3
  System::Int64Op $2 - $3
  Pop $2
  System::Call 'kernel32::FileTimeToSystemTime(*l r2, p r1)'
  System::Call '*$1(&i2 .r4, &i2 .r5, &i2, &i2 .r6)'
  System::Free $1
  IntFmt $5 "%02d" $5
  IntFmt $6 "%02d" $6
  StrCpy $0 "$4$5$6"
FunctionEnd
!endif

Section "Install"
  !insertmacro SelectContext
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}.exe" "${EXE_PATH}"
  FileOpen $9 "$INSTDIR\readme.txt" w
  FileWrite $9 "${NAME} ${VERSION}$\r$\nA demo program installed for trying Tarvo Uninstaller.$\r$\n"
  FileClose $9
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${FOLDER}"
  CreateShortCut "$SMPROGRAMS\${FOLDER}\${FOLDER}.lnk" "$INSTDIR\${EXE}.exe"
  CreateShortCut "$SMPROGRAMS\${FOLDER}\Uninstall ${FOLDER}.lnk" "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateDirectory "$APPDATA\${PUBLISHER}\${FOLDER}"
  WriteINIStr "$APPDATA\${PUBLISHER}\${FOLDER}\settings.ini" "General" "FirstRun" "0"
  WriteRegStr HKCU "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"
  !insertmacro SelectContext

  !ifdef DAYS_AGO
    StrCpy $0 ${DAYS_AGO}
    Call DaysAgo
  !else
    StrCpy $0 "${DATE}"
  !endif

  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}.exe,0"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallDate" "$0"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "HelpLink" "${HELP_URL}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "URLInfoAbout" "${ABOUT_URL}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoRepair" 1

  ; The product's 64-bit driver registers itself too, with less detail: the same program
  ; seen in both views.
  !if "${VIEW}" == "twin"
    SetRegView 64
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    SetRegView 32
  !endif
SectionEnd

Section "Uninstall"
  !insertmacro SelectContext
  Delete "$INSTDIR\${EXE}.exe"
  Delete "$INSTDIR\readme.txt"
  ; The uninstaller that started this copy may still be closing on a busy machine: its file
  ; goes once it has.
  StrCpy $8 0
  retry_uninstaller:
    Delete "$INSTDIR\uninstall.exe"
    IfFileExists "$INSTDIR\uninstall.exe" 0 uninstaller_gone
    IntOp $8 $8 + 1
    IntCmp $8 50 uninstaller_gone
    Sleep 100
    Goto retry_uninstaller
  uninstaller_gone:
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${FOLDER}\${FOLDER}.lnk"
  Delete "$SMPROGRAMS\${FOLDER}\Uninstall ${FOLDER}.lnk"
  RMDir "$SMPROGRAMS\${FOLDER}"
  DeleteRegKey ${ROOT} "${UNINSTALL_KEY}"
  !if "${VIEW}" == "twin"
    SetRegView 64
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    SetRegView 32
  !endif
SectionEnd
