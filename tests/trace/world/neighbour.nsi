; A program installed after the traced one that keeps its own file in a folder the traced one
; created, and a key of its own. Nothing of it may go when the traced program is removed.
; Defines: PAYLOAD OUTFILE

Unicode true
Name "Later Neighbour"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent

Section "Install"
  SetShellVarContext all
  SetOutPath "$APPDATA\{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}"
  File "/oname=neighbour.dat" "${PAYLOAD}"
  WriteRegStr HKLM "Software\Later Neighbour" "Version" "1"
SectionEnd
