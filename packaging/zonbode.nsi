; The Windows setup program: zonbode.exe and the tools, a Start-menu shortcut, "Start Zonbode
; when I sign in" (off unless chosen before) and an uninstaller in the list of programs.
; Per user by default, without elevation: %LOCALAPPDATA%\Programs\Zonbode, the uninstall entry
; and the Run entry in the user's own HKCU. /ALLUSERS installs for every user of the machine
; into Program Files (run as administrator); the program is then never started elevated.
; An upgrade goes where the last install went. A running Zonbode is asked to close as its close
; button does (its settings are stored) before anything is replaced or removed; one that does
; not end stops the setup, with nothing changed and exit code 2.
; Built by the Windows build's `setup` target, which defines
;   VERSION   the project's version
;   FILES     a generated .nsh whose macro ZonbodeFiles names every installed file
;   OUTFILE   the setup program to write
;   ICON      the program's .ico
; Silent: setup.exe /S [/ALLUSERS] [/AUTOSTART] [/D=folder]; uninstall.exe /S.
; Of the user's settings (HKCU\Software\Kavelo\Zonbode) the setup sets "Aanmelden" only, as the
; program's own "Start bij aanmelden" box does; uninstalling keeps them all.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zonbode"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Kavelo\Zonbode"
!define WINDOW_CLASS "ZonbodeMainWindow"
!define USER_FOLDER "$LOCALAPPDATA\Programs\Zonbode"

Name "Zonbode"
OutFile "${OUTFILE}"
InstallDir "${USER_FOLDER}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Zonbode ${VERSION}"

Var AllUsers  ; 1: installed for every user (HKLM, Program Files)

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartZonbode
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; In Dutch, as the program is; the uninstaller too.
!insertmacro MUI_LANGUAGE "Dutch"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_DUTCH} "ProductName" "Zonbode"
VIAddVersionKey /LANG=${LANG_DUTCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_DUTCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_DUTCH} "FileDescription" "Zonbode installatie"
VIAddVersionKey /LANG=${LANG_DUTCH} "CompanyName" "Kavelo"
VIAddVersionKey /LANG=${LANG_DUTCH} "LegalCopyright" "Kavelo"

!macro InstallFile source name
    File "/oname=${name}" "${source}"
!macroend
!macro RemoveFile source name
    Delete "$INSTDIR\${name}"
!macroend

; Asks a running Zonbode to close as its close button does, so it stores its settings, and
; waits until its window is gone and its program file is free. When it does not end, the setup
; stops before it has changed anything.
!macro CloseRunningZonbode un
Function ${un}CloseRunningZonbode
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${For} $1 1 40
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 == 0
            ${IfNot} ${FileExists} "$INSTDIR\zonbode.exe"
                Return
            ${EndIf}
            ClearErrors
            FileOpen $2 "$INSTDIR\zonbode.exe" a
            ${IfNot} ${Errors}
                FileClose $2
                Return
            ${EndIf}
        ${EndIf}
        Sleep 250
    ${Next}
    MessageBox MB_OK|MB_ICONSTOP "Zonbode draait nog en sloot niet af. Sluit Zonbode en start dit programma opnieuw; er is niets veranderd." /SD IDOK
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro CloseRunningZonbode ""
!insertmacro CloseRunningZonbode "un."

Section "Zonbode" SecProgram
    SectionIn RO
    Call CloseRunningZonbode
    SetOutPath "$INSTDIR"
    !insertmacro ZonbodeFiles InstallFile
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Zonbode.lnk" "$INSTDIR\zonbode.exe"

    ; SHCTX: HKCU per user, HKLM for every user.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Zonbode"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Kavelo"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zonbode.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---- Start at sign-in: the Run entry, in the installing user's HKCU ----

Section /o "Zonbode starten bij aanmelden" SecAutostart
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

; Ticked when chosen before, here or in the program (an update keeps it), or asked for with
; /AUTOSTART.
Function ReadAutostartChoice
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

; ---- per user or for every user ----

; /ALLUSERS: HKLM and Program Files, or where the last install for every user went; a folder
; given with /D stays as given.
Function ChooseAllUsers
    StrCpy $AllUsers 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/ALLUSERS" $1
    ${If} ${Errors}
        Return
    ${EndIf}
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "Installeren voor alle gebruikers (/ALLUSERS) vraagt beheerdersrechten: start dit programma als beheerder. Er is niets veranderd." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    StrCpy $AllUsers 1
    ; Compared while $LOCALAPPDATA is still the user's own.
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == "${USER_FOLDER}"
    ${OrIf} $INSTDIR == $1
        ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
        ${If} $INSTDIR == ""
            StrCpy $INSTDIR "$PROGRAMFILES64\Zonbode"
        ${EndIf}
    ${EndIf}
    SetShellVarContext all
FunctionEnd

Function .onInit
    Call ChooseAllUsers
    Call ReadAutostartChoice
FunctionEnd

; From the finish page. For every user the setup runs elevated, so the program is started by
; the shell, with the user's own rights.
Function StartZonbode
    ${If} $AllUsers == 1
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\zonbode.exe"'
    ${Else}
        Exec '"$INSTDIR\zonbode.exe"'
    ${EndIf}
FunctionEnd

; ---- uninstall ----

; Installed for every user when the machine's entry names this folder.
Function un.onInit
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.CloseRunningZonbode
    !insertmacro ZonbodeFiles RemoveFile
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Zonbode.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Zonbode"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
