; A product whose uninstaller works like so many real ones: it copies itself to the
; temporary folder, starts the copy and exits, and the copy does the work, slowly.
; Defines: NAME (also the uninstall key), OUTFILE, PAYLOAD (any file to install), DELAY_MS;
; ASKS: the uninstaller would ask its questions unless started with /S, so it gives up
; without removing anything when it is not.
Unicode true
SetCompressor /SOLID lzma
Name "${NAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
!ifdef ASKS
SilentUnInstall normal
Function un.onInit
  IfSilent quiet
  Abort
  quiet:
FunctionEnd
!else
SilentUnInstall silent
!endif
InstallDir "$PROGRAMFILES32\${NAME}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Section "Install"
  SetRegView 32
  SetOutPath "$INSTDIR"
  File "/oname=payload.exe" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarvo Test Products"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  SetRegView 32
  Sleep ${DELAY_MS}
  Delete "$INSTDIR\payload.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
