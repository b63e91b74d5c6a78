; The Windows installer of the Wavendell fountains, made by the build
; (cmake/windows.cmake) with:
;   makensis -NOCD -DSCR=wavendell.scr -DDATA_FILES=data_files.nsh -DICON=wavendell.ico
;            -DVERSION=1.0.0 -DOUTFILE=wavendell-setup.exe wavendell.nsi
; It puts the saver in the 64-bit System32, where Windows' Screen Saver
; settings list it, the show under Program Files, and the installation
; folder in HKEY_LOCAL_MACHINE\Software\CorvelScreenSavers\FreeWavendell
; ("Dir"), the saver's own key.  Run again, it installs into the folder
; that key names, over the copy there.  The uninstaller removes exactly
; those files, values and keys (folders only when nothing else is left in
; them); the .scr, the key and the programs-list entry only while the key
; names its own folder, since otherwise they belong to another installation.
; /S installs or uninstalls silently.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!define PRODUCT "Wavendell fountains"
!define PRODUCT_KEY "Software\CorvelScreenSavers\FreeWavendell"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\WavendellFountains"

!include "${DATA_FILES}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the last installation went (a 64-bit installer reads
; the 64-bit registry).
InstallDirRegKey HKLM "${PRODUCT_KEY}" "Dir"
BrandingText "Corvel"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "Corvel"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  ; A 64-bit installer's $SYSDIR is the 64-bit System32.
  SetOutPath "$SYSDIR"
  File "/oname=wavendell.scr" "${SCR}"
  !insertmacro InstallData
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Dir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\wavendell.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Dir"
  !insertmacro UninstallData
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; What the installations share belongs to the one the key names (StrCmp
  ; compares without case, as Windows names folders).
  StrCmp $0 "" shared
  StrCmp $0 "$INSTDIR" shared
  DetailPrint "The saver and its key belong to the installation in $0: left as they are."
  Goto done
  shared:
  Delete "$SYSDIR\wavendell.scr"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "Dir"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\CorvelScreenSavers"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  done:
SectionEnd
