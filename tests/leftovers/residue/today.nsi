; Programs of today with the usual sloppy uninstaller (it removes its main files and its
; uninstall key and nothing else), one for each kind of trace they leave:
;   task      an updater task: its file in the Tasks folder and its TaskCache keys
;   service   a service registered with the service manager (sc create)
;   path      its folder's bin appended to the user's PATH (the value is made if missing)
;   shell     verbs on every file, folder, folder background and drive, and a menu handler
;   peruser   installed under %LocalAppData%\Programs, entry in HKCU, no InstallLocation
;   selfupdate  %LocalAppData%\<App>\Update.exe beside app-1.2.3, entry in HKCU naming Update.exe
; Facts as /D defines: NAME FOLDER KIND KEY PAYLOAD OUTFILE

Unicode true
SetCompressor /SOLID lzma
Name "${NAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent
!include x64.nsh

!if "${KIND}" == "peruser"
  !define ROOT HKCU
  InstallDir "$LOCALAPPDATA\Programs\${FOLDER}"
  !define UNINSTALLER "Uninstall ${FOLDER}.exe"
!else if "${KIND}" == "selfupdate"
  !define ROOT HKCU
  InstallDir "$LOCALAPPDATA\${FOLDER}"
  !define UNINSTALLER "Update.exe"
!else
  !define ROOT HKLM
  InstallDir "$PROGRAMFILES32\${FOLDER}"
  !define UNINSTALLER "uninstall.exe"
!endif
!if "${KIND}" == "selfupdate"
  !define APPDIR "$INSTDIR\app-1.2.3"
!else
  !define APPDIR "$INSTDIR"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${KEY}"
!define TASK_ID "{3F2A9C41-7D0B-4E8A-9B6C-5D4E3F2A1B0C}"
!define HANDLER_ID "{8E7D6C5B-4A39-4B28-8C17-0F6E5D4C3B2A}"

Section "Install"
  SetRegView 32
  SetShellVarContext current
  SetOutPath "${APPDIR}"
  File "/oname=${FOLDER}.exe" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$DESKTOP\${NAME}.lnk" "${APPDIR}\${FOLDER}.exe"
  CreateDirectory "$APPDATA\${FOLDER}"
  WriteINIStr "$APPDATA\${FOLDER}\settings.ini" "Window" "Width" "800"

!if "${KIND}" == "task"
  ; As the Task Scheduler files a task: its XML in the native Tasks folder, indexed by the cache.
  ${DisableX64FSRedirection}
  CreateDirectory "$WINDIR\System32\Tasks"
  FileOpen $9 "$WINDIR\System32\Tasks\${NAME}" w
  FileWrite $9 '<?xml version="1.0"?><Task xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task"><Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers><Actions Context="Author"><Exec><Command>"$INSTDIR\${FOLDER}.exe"</Command><Arguments>/update</Arguments></Exec></Actions></Task>'
  FileClose $9
  ${EnableX64FSRedirection}
  SetRegView 64
  WriteRegStr HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Schedule\TaskCache\Tree\${NAME}" "Id" "${TASK_ID}"
  WriteRegDWORD HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Schedule\TaskCache\Tree\${NAME}" "Index" 3
  WriteRegStr HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Schedule\TaskCache\Tasks\${TASK_ID}" "Path" "\${NAME}"
  WriteRegStr HKLM "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Schedule\TaskCache\Logon\${TASK_ID}" "" ""
  SetRegView 32
!else if "${KIND}" == "service"
  nsExec::Exec '"$SYSDIR\sc.exe" create ${FOLDER}Svc binPath= "\"$INSTDIR\${FOLDER}.exe\" /service" start= demand DisplayName= "${NAME} Service"'
  Pop $0
!else if "${KIND}" == "path"
  CreateDirectory "$INSTDIR\bin"
  ReadRegStr $0 HKCU "Environment" "Path"
  StrCmp $0 "" 0 +3
  WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR\bin"
  Goto +2
  WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR\bin"
!else if "${KIND}" == "shell"
  WriteRegStr HKLM "Software\Classes\*\shell\${FOLDER}Open\command" "" '"$INSTDIR\${FOLDER}.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\Directory\shell\${FOLDER}Open\command" "" '"$INSTDIR\${FOLDER}.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\Directory\Background\shell\${FOLDER}Here\command" "" '"$INSTDIR\${FOLDER}.exe" "%V"'
  WriteRegStr HKLM "Software\Classes\Drive\shell\${FOLDER}Scan\command" "" '"$INSTDIR\${FOLDER}.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\Directory\Background\shell\${FOLDER}User\command" "" '"$INSTDIR\${FOLDER}.exe" "%V"'
  WriteRegStr HKLM "Software\Classes\*\shellex\ContextMenuHandlers\${FOLDER}Menu" "" "${HANDLER_ID}"
  WriteRegStr HKLM "Software\Classes\CLSID\${HANDLER_ID}" "" "${NAME} Menu"
  WriteRegStr HKLM "Software\Classes\CLSID\${HANDLER_ID}\InprocServer32" "" "$INSTDIR\${FOLDER}Menu.dll"
  WriteRegStr HKLM "Software\Classes\CLSID\${HANDLER_ID}\InprocServer32" "ThreadingModel" "Apartment"
!else if "${KIND}" == "selfupdate"
  CreateDirectory "$INSTDIR\packages"
  FileOpen $9 "$INSTDIR\packages\RELEASES" w
  FileWrite $9 "0000 ${FOLDER}-1.2.3-full.nupkg 1"
  FileClose $9
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "${FOLDER}" '"$INSTDIR\Update.exe" --processStart "${FOLDER}.exe"'
!endif

  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayVersion" "1.2.3"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "Publisher" "${NAME} Makers"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayIcon" "${APPDIR}\${FOLDER}.exe,0"
!if "${KIND}" == "selfupdate"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Update.exe" --uninstall'
!else
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
!endif
!if "${ROOT}" == "HKLM"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
!endif
SectionEnd

Section "Uninstall"
  SetRegView 32
  Delete "${APPDIR}\${FOLDER}.exe"
!if "${KIND}" != "selfupdate"
  Delete "$INSTDIR\${UNINSTALLER}"
!endif
  RMDir "${APPDIR}"
  RMDir "$INSTDIR"
  DeleteRegKey ${ROOT} "${UNINSTALL_KEY}"
SectionEnd
