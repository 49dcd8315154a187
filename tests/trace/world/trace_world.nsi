; A program that spreads things no leftover rule can guess: a GUID-named folder in
; ProgramData, settings under an unrelated vendor's name, a helper in the system folder, a
; scheduled-task file, a service key, an element on the user's PATH and a shell verb on every
; file type. Its uninstaller removes its main files and its uninstall key and nothing else.
; Defines: PAYLOAD OUTFILE

Unicode true
SetCompressor /SOLID lzma
Name "Trace World"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent
InstallDir "$PROGRAMFILES32\Trace World"

!include x64.nsh
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoTraceWorld"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=tworld.exe" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$APPDATA\{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}\cache"
  FileOpen $9 "$APPDATA\{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}\cache\index.bin" w
  FileWrite $9 "index"
  FileClose $9
  SetOutPath "$SYSDIR"
  File "/oname=twhelp32.dll" "${PAYLOAD}"
  ${DisableX64FSRedirection}
  SetOutPath "$WINDIR\System32\Tasks"
  File "/oname=Northwind Tile Refresh" "${PAYLOAD}"
  ${EnableX64FSRedirection}

  SetRegView 64
  WriteRegStr HKLM "Software\Northwind Cartography\Tiles" "CacheFolder" "{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}"
  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\NwTileSvc" "Type" 16
  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\NwTileSvc" "Start" 3
  WriteRegExpandStr HKLM "SYSTEM\CurrentControlSet\Services\NwTileSvc" "ImagePath" "$INSTDIR\tworld.exe /service"
  WriteRegStr HKLM "Software\Classes\*\shell\NwTileOpen" "" "Open as map tile"
  WriteRegStr HKLM "Software\Classes\*\shell\NwTileOpen\command" "" '"$INSTDIR\tworld.exe" "%1"'
  SetRegView 32
  ReadRegStr $0 HKCU "Environment" "Path"
  StrCmp $0 "" 0 +3
    WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR\bin"
    Goto +2
  WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR\bin"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Trace World"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Northwind"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tworld.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
