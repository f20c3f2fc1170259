; The Windows setup program: zonbode.exe and the tools in Program Files\Zonbode, a Start-menu
; shortcut, "Start Zonbode when I sign in" (off unless chosen before) and an uninstaller in the
; list of programs. Built by the Windows build's `setup` target, which defines
;   VERSION   the project's version
;   FILES     a generated .nsh whose macro ZonbodeFiles names every installed file
;   OUTFILE   the setup program to write
;   ICON      the program's .ico
; Silent: setup.exe /S [/AUTOSTART] [/D=folder]; uninstall.exe /S.
; Of the user's settings (HKCU\Software\Kavelo\Zonbode) the setup sets "Aanmelden" only, as the
; program's own "Start bij aanmelden" box does; uninstalling keeps them all.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zonbode"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Kavelo\Zonbode"

Name "Zonbode"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zonbode"
BrandingText "Zonbode ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Zonbode"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Zonbode setup"
VIAddVersionKey "CompanyName" "Kavelo"
VIAddVersionKey "LegalCopyright" "Kavelo"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\zonbode.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro InstallFile source name
    File "/oname=${name}" "${source}"
!macroend
!macro RemoveFile source name
    Delete "$INSTDIR\${name}"
!macroend

Section "Zonbode" SecProgram
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    !insertmacro ZonbodeFiles InstallFile
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Zonbode.lnk" "$INSTDIR\zonbode.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zonbode"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kavelo"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zonbode.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Zonbode when I sign in" SecAutostart
SectionEnd

; Applies the choice either way, so unticking it on a new install switches it off.
Section "-Autostart"
    ${If} ${SectionIsSelected} ${SecAutostart}
        WriteRegStr HKCU "${RUN_KEY}" "Zonbode" '"$INSTDIR\zonbode.exe"'
        WriteRegDWORD HKCU "${SETTINGS_KEY}" "Aanmelden" 1
    ${Else}
        DeleteRegValue HKCU "${RUN_KEY}" "Zonbode"
        WriteRegDWORD HKCU "${SETTINGS_KEY}" "Aanmelden" 0
    ${EndIf}
SectionEnd

Function .onInit
    ; Ticked when chosen before, here or in the program (an update keeps it), or asked for
    ; with /AUTOSTART.
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Zonbode"
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
    ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "Aanmelden"
    ${If} $0 == 1
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTOSTART" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    !insertmacro ZonbodeFiles RemoveFile
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Zonbode.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Zonbode"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
