; The installer of Halvorsight (64-bit Windows), built by the "package"
; target of the cross build:
;   makensis -DHS_FILES=<dir with Halvorsight.exe, Halvorsight.sound and
;            manual.html> -DHS_ICON=<halvorsight.ico> -DHS_OUTFILE=<setup.exe>
;            -DHS_VERSION=5.0 -DHS_VERSION_MAJOR=5 -DHS_VERSION_MINOR=0
;            -DHS_COMPANY=... -DHS_COPYRIGHT=... -DHS_SUPPORT_URL=...
;            -DHS_HOMEPAGE_URL=... halvorsight.nsi
;
; Per user (the default: no administrator rights needed) or per machine.
; The program keeps its catalogue, options and sound in its working
; directory, so every shortcut starts it in the user's data folder
; %LOCALAPPDATA%\Halvorsight; the program folder stays read-only.
;
; Command line, besides the standard /S (silent) and /D=<folder>:
;   /CurrentUser, /AllUsers   install for this user only, or for everyone
;   /AutoStart                also start Halvorsight when the user logs in
; The uninstaller takes /CurrentUser or /AllUsers (its registered command
; lines carry the right one), /S, and /RemoveData to delete the data folder
; of the user who uninstalls; without it that folder stays.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!define APP_NAME "Halvorsight"
!define APP_EXE "Halvorsight.exe"
!define FRAME_CLASS "HalvorsightMainFrame"
!define DATA_FOLDER "Halvorsight"
!define LINK_NAME "Halvorsight.lnk"
!define UNINSTALLER "Uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Halvorsight"
; Runs once for every user at the next logon after a per-machine install:
; makes that user's data folder and puts the sound into it.
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\Halvorsight"

Name "${APP_NAME}"
OutFile "${HS_OUTFILE}"
BrandingText "${APP_NAME} ${HS_VERSION}"

VIProductVersion "${HS_VERSION_MAJOR}.${HS_VERSION_MINOR}.0.0"
VIFileVersion "${HS_VERSION_MAJOR}.${HS_VERSION_MINOR}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${HS_VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${HS_VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP_NAME} ${HS_VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${HS_COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${HS_COPYRIGHT}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP_NAME}"
; An update goes where the installed version is.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define MUI_ICON "${HS_ICON}"
!define MUI_UNICON "${HS_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The data folder of the user running this, in $0 (as a full path).
!macro UserDataFolder UN
Function ${UN}UserDataFolder
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext current
    StrCpy $0 "$LOCALAPPDATA\${DATA_FOLDER}"
    SetShellVarContext all
  ${Else}
    StrCpy $0 "$LOCALAPPDATA\${DATA_FOLDER}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro UserDataFolder ""
!insertmacro UserDataFolder "un."

; A running Halvorsight holds its program file: ask the user to end it. In
; silent mode the answer is Cancel and the run ends with exit code 2.
!macro WaitForProgramToEnd UN
Function ${UN}WaitForProgramToEnd
  ${Do}
    FindWindow $0 "${FRAME_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${APP_NAME} is running. End it (Application > Exit), then choose Retry." \
      /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForProgramToEnd ""
!insertmacro WaitForProgramToEnd "un."

; Sets $OUTDIR, the working directory CreateShortcut gives a shortcut: the
; user's own data folder. A per-machine shortcut names it through the
; variable, which the shell expands for whoever starts it.
Function SetShortcutDirectory
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $OUTDIR "%LOCALAPPDATA%\${DATA_FOLDER}"
  ${Else}
    Call UserDataFolder
    StrCpy $OUTDIR $0
  ${EndIf}
FunctionEnd

Section "${APP_NAME}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${HS_FILES}\${APP_EXE}"
  File "${HS_FILES}\Halvorsight.sound"
  File "${HS_FILES}\manual.html"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The data folder of the installing user, with the sound the program
  ; plays from there; a sound of the user's own stays.
  Call UserDataFolder
  CreateDirectory "$0"
  ${IfNot} ${FileExists} "$0\Halvorsight.sound"
    CopyFiles /SILENT "$INSTDIR\Halvorsight.sound" "$0"
  ${EndIf}
  ${If} $MultiUser.InstallMode == "AllUsers"
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "${APP_NAME}"
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${HS_VERSION_MAJOR},${HS_VERSION_MINOR},0,0"
    WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" \
      '"$SYSDIR\cmd.exe" /d /q /c (if not exist "%LOCALAPPDATA%\${DATA_FOLDER}" mkdir "%LOCALAPPDATA%\${DATA_FOLDER}") & (if not exist "%LOCALAPPDATA%\${DATA_FOLDER}\Halvorsight.sound" copy "$INSTDIR\Halvorsight.sound" "%LOCALAPPDATA%\${DATA_FOLDER}\" >nul)'
  ${EndIf}

  Call SetShortcutDirectory
  CreateShortcut "$SMPROGRAMS\${LINK_NAME}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0 \
    SW_SHOWNORMAL "" "Watches web pages, FTP and local files for changes"

  ; Apps & features / Add or Remove Programs.
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${HS_VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${HS_COMPANY}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE},0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
  WriteRegStr SHCTX "${UNINST_KEY}" "HelpLink" "${HS_SUPPORT_URL}"
  WriteRegStr SHCTX "${UNINST_KEY}" "URLInfoAbout" "${HS_HOMEPAGE_URL}"
  WriteRegDWORD SHCTX "${UNINST_KEY}" "VersionMajor" ${HS_VERSION_MAJOR}
  WriteRegDWORD SHCTX "${UNINST_KEY}" "VersionMinor" ${HS_VERSION_MINOR}
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start ${APP_NAME} when I log in" SecAutoStart
  Call SetShortcutDirectory
  CreateShortcut "$SMSTARTUP\${LINK_NAME}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0 SW_SHOWNORMAL
SectionEnd

; An update without the log-in start takes away the one installed before.
Section "-RemoveAutoStart"
  ${IfNot} ${SectionIsSelected} ${SecAutoStart}
    Delete "$SMSTARTUP\${LINK_NAME}"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its sound and its manual, and a Start menu entry."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} "Starts ${APP_NAME} whenever you log in to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; /D=<folder> beats the folder the install mode proposes.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
  ; The log-in start is offered as it is now, or as asked on the command line.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AutoStart" $R1
  ${IfNot} ${Errors}
  ${OrIf} ${FileExists} "$SMSTARTUP\${LINK_NAME}"
    !insertmacro SelectSection ${SecAutoStart}
  ${EndIf}
  Call WaitForProgramToEnd
FunctionEnd

; The finish page's "Start now": in the data folder, like the shortcut.
Function StartProgram
  Call UserDataFolder
  StrCpy $OUTDIR $0
  Exec '"$INSTDIR\${APP_EXE}"'
FunctionEnd

Section "un.${APP_NAME}" UnSecProgram
  SectionIn RO
  Delete "$SMPROGRAMS\${LINK_NAME}"
  Delete "$SMSTARTUP\${LINK_NAME}"
  Delete "$INSTDIR\${APP_EXE}"
  Delete "$INSTDIR\Halvorsight.sound"
  Delete "$INSTDIR\manual.html"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only the files put there: a folder the user shares with others stays.
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ${If} $MultiUser.InstallMode == "AllUsers"
    DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
  ${EndIf}
SectionEnd

Section /o "un.My documents list and settings" UnSecData
  Call un.UserDataFolder
  RMDir /r "$0"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "The program, its Start menu entries and its uninstall information."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "Your watched documents, their kept copies, your options and sound (your data folder). Left alone unless ticked."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/RemoveData" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecData}
  ${EndIf}
  Call un.WaitForProgramToEnd
FunctionEnd
