; A program with the usual sloppy uninstaller: it removes its main files and its uninstall
; key and nothing else, leaving data in the roaming, local and all-users trees, settings keys
; in both roots, a start-up entry, an App Paths key, a file class and its shortcuts.
; Facts as /D defines: NAME PUBLISHER PUBLISHER_FOLDER (its short name, which folders and keys
; use) FOLDER EXE EXT VIEW (32 or 64) KEY PAYLOAD OUTFILE

Unicode true
SetCompressor /SOLID lzma
Name "${NAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${KEY}"
!if "${VIEW}" == "64"
  InstallDir "$PROGRAMFILES64\${FOLDER}"
!else
  InstallDir "$PROGRAMFILES32\${FOLDER}"
!endif

!macro View
  !if "${VIEW}" == "64"
    SetRegView 64
  !else
    SetRegView 32
  !endif
!macroend

Section "Install"
  !insertmacro View
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}.exe" "${PAYLOAD}"
  File "/oname=readme.txt" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${FOLDER}"
  CreateShortCut "$SMPROGRAMS\${FOLDER}\${FOLDER}.lnk" "$INSTDIR\${EXE}.exe"
  CreateDirectory "$APPDATA\${PUBLISHER_FOLDER}\${FOLDER}"
  FileOpen $9 "$APPDATA\${PUBLISHER_FOLDER}\${FOLDER}\shared.dat" w
  FileWrite $9 "all users"
  FileClose $9

  SetShellVarContext current
  CreateShortCut "$DESKTOP\${FOLDER}.lnk" "$INSTDIR\${EXE}.exe"
  CreateDirectory "$APPDATA\${PUBLISHER_FOLDER}\${FOLDER}"
  WriteINIStr "$APPDATA\${PUBLISHER_FOLDER}\${FOLDER}\settings.ini" "Window" "Width" "800"
  CreateDirectory "$LOCALAPPDATA\${PUBLISHER_FOLDER}\${FOLDER}\cache"
  CreateDirectory "$LOCALAPPDATA\${PUBLISHER_FOLDER}\${FOLDER}\logs"
  FileOpen $9 "$LOCALAPPDATA\${PUBLISHER_FOLDER}\${FOLDER}\cache\thumbs.bin" w
  FileWrite $9 "cache"
  FileClose $9
  FileOpen $9 "$LOCALAPPDATA\${PUBLISHER_FOLDER}\${FOLDER}\logs\app.log" w
  FileWrite $9 "started"
  FileClose $9

  ; Settings that name no folder: only the key's own name gives it away.
  WriteRegDWORD HKCU "Software\${PUBLISHER_FOLDER}\${FOLDER}" "WindowWidth" 800
  WriteRegStr HKCU "Software\${PUBLISHER_FOLDER}\${FOLDER}\Recent" "File1" "D:\letters\june.txt"
  WriteRegStr HKLM "Software\${PUBLISHER_FOLDER}\${FOLDER}" "Edition" "Home"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "${FOLDER}" '"$INSTDIR\${EXE}.exe" /tray'
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\${EXE}.exe" "" "$INSTDIR\${EXE}.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\${EXE}.exe" "Path" "$INSTDIR"
  WriteRegStr HKLM "Software\Classes\.${EXT}" "" "${EXE}.Document"
  WriteRegStr HKLM "Software\Classes\${EXE}.Document" "" "${NAME} Document"
  WriteRegStr HKLM "Software\Classes\${EXE}.Document\DefaultIcon" "" "$INSTDIR\${EXE}.exe,0"
  WriteRegStr HKLM "Software\Classes\${EXE}.Document\shell\open\command" "" '"$INSTDIR\${EXE}.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "2.1"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  !insertmacro View
  Delete "$INSTDIR\${EXE}.exe"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
