; The Windows installer: a per-user install (no administrator rights) of the portable folder into
; %LOCALAPPDATA%\Programs\Tidewake, a Start-menu shortcut with the icon, and an uninstaller that
; Windows lists under its installed programs. The program's stores, history and settings are the
; user's (under %LOCALAPPDATA%\Corvane\Tidewake and the registry) and stay when it is uninstalled.
; makensis -DVERSION=x.y.z -DSTAGE=<portable folder> -DOUTFILE=<setup.exe> -DICON=<tidewake.ico> tidewake.nsi
; A 64-bit installer for a 64-bit program (it also runs where only 64-bit programs do, as under wine64).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APPNAME "Corvane Tidewake"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneTidewake"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tidewake"
InstallDirRegKey HKCU "Software\Corvane\Tidewake\Install" "Folder"
Icon "${ICON}"
UninstallIcon "${ICON}"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tidewake.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "Corvane"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${APPNAME} Setup"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Corvane"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Tidewake"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\tidewake.exe" "" "$INSTDIR\tidewake.exe" 0
  WriteRegStr HKCU "Software\Corvane\Tidewake\Install" "Folder" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Corvane"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\tidewake.exe,0"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  ; Only what the installer laid down; the folder goes when nothing else is left in it.
  !include "${STAGE}.uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTKEY}"
  DeleteRegKey HKCU "Software\Corvane\Tidewake\Install"
SectionEnd
