; PathloomSetup.exe: installs Pathloom, its help page and sitemap template, Retractor and, when
; chosen, the Plotwright stand-in; and writes what Retractor needs to take every piece away again:
; the key SOFTWARE\Korvane\Uninstaller with the directory variables, one manifest per product and
; Shared.sys for what the products share.
;
;   makensis /DVERSION=2.0.0 /DPROGRAMS=<folder of the programs> /DSOURCE=<source tree>
;            /DOUTFILE=<setup> [/DTARGET=amd64-unicode] PathloomSetup.nsi
;
; The setup installs the programs as they were built: a 64-bit build gets a 64-bit setup, which
; then also sees the 64-bit registry and Program Files that those programs use.

!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
Unicode true
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define BASE_KEY "SOFTWARE\Korvane\Uninstaller"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
!define PLOTWRIGHT_CLSID "{6E2B9A4C-3D71-4F85-A0C2-9B17E4D5F830}"
; Retractor reads every path and manifest line into 260 characters, the terminator included.
!define MAX_TEXT 259

Name "Pathloom ${VERSION}"
Caption "Pathloom ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Korvane\Pathloom"
InstallDirRegKey HKLM "${UNINSTALL_KEY}\Pathloom" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
Icon "${SOURCE}\src\resources\pathloom\pathloom.ico"
ShowInstDetails show
XPStyle on

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Pathloom"
VIAddVersionKey /LANG=1033 "CompanyName" "Korvane"
VIAddVersionKey /LANG=1033 "FileDescription" "Pathloom Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Korvane"

Page components
Page directory
Page instfiles

Var DataDir      ; Retractor's data directory: the manifests of every Korvane product
Var MenuDir      ; the Start menu folder
Var Body         ; the manifest being written, without its command count
Var Count        ; its commands so far
Var TooLong      ; the first line Retractor could not read, or empty

; A manifest line naming a path below a directory variable: the manifest holds %NAME%RELATIVE,
; Retractor reads the variable's VALUE followed by RELATIVE.
!macro PathLine COMMAND NAME VALUE RELATIVE
  Push "${COMMAND} %${NAME}%${RELATIVE}"
  Push "${VALUE}${RELATIVE}"
  Call ManifestLine
!macroend

; A manifest line that holds no variable (comments, application checks, registry keys).
!macro PlainLine TEXT
  Push `${TEXT}`
  Push `${TEXT}`
  Call ManifestLine
!macroend

; A manifest is written to the plug-ins folder first and copied into the data directory with its
; command count at the end, once everything it names has been installed.
!macro BeginManifest NAME
  StrCpy $Count 0
  FileOpen $Body "$PLUGINSDIR\${NAME}" w
!macroend

!macro EndManifest
  FileClose $Body
!macroend

Function ManifestLine
  Exch $1  ; the text Retractor will read, variables replaced
  Exch
  Exch $0  ; the line as written
  StrLen $2 $0
  StrLen $3 $1
  ${If} $2 > ${MAX_TEXT}
  ${OrIf} $3 > ${MAX_TEXT}
    ${If} $TooLong == ""
      StrCpy $TooLong $1
    ${EndIf}
  ${EndIf}
  FileWrite $Body "$0$\r$\n"
  IntOp $Count $Count + 1
  Pop $0
  Pop $1
FunctionEnd

; Copies a manifest from the plug-ins folder into the data directory, its command count first.
; The file is written whole each time, so a repair never doubles a line.
Function InstallManifest
  Exch $0  ; the manifest's name
  Exch
  Exch $1  ; its command count
  Push $2
  Push $3
  Push $4
  FileOpen $2 "$DataDir\$0" w
  FileWrite $2 "$1$\r$\n"
  FileOpen $3 "$PLUGINSDIR\$0" r
  ${Do}
    FileRead $3 $4
    ${IfThen} $4 == "" ${|} ${ExitDo} ${|}
    FileWrite $2 $4
  ${Loop}
  FileClose $3
  FileClose $2
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

!macro InstallManifest NAME COUNT
  Push ${COUNT}
  Push "${NAME}"
  Call InstallManifest
!macroend


; Every manifest line is made and measured before anything is installed: a line Retractor could
; not read would leave behind what it names.
Section "-Manifests"
  Call MakeManifests
SectionEnd

Section "Pathloom (required)" SecPathloom
  SectionIn RO
  ; The shortcuts start Pathloom in its folder: it finds its help page and template there.
  SetOutPath $INSTDIR
  File "${PROGRAMS}\Pathloom.exe"
  File "${PROGRAMS}\Pathloom.htm"
  File "${PROGRAMS}\sitemap.txt"
  File "${PROGRAMS}\Retractor.exe"
  File "${PROGRAMS}\KorvaneCleanup.dll"

  CreateDirectory $MenuDir
  CreateShortCut "$MenuDir\Pathloom.lnk" "$INSTDIR\Pathloom.exe"
  CreateShortCut "$MenuDir\Pathloom Help.lnk" "$INSTDIR\Pathloom.htm"
  CreateShortCut "$MenuDir\Uninstall Pathloom.lnk" "$INSTDIR\Retractor.exe" "Pathloom.app" "$INSTDIR\Retractor.exe" 0

  WriteRegStr HKLM "${BASE_KEY}" "" $DataDir
  WriteRegStr HKLM "${BASE_KEY}\APPDIR" "" $INSTDIR
  WriteRegStr HKLM "${BASE_KEY}\MENUDIR" "" $MenuDir

  !define ENTRY "${UNINSTALL_KEY}\Pathloom"
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "Pathloom ${VERSION}"
  WriteRegStr HKLM "${ENTRY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ENTRY}" "Publisher" "Korvane"
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" "$INSTDIR\Pathloom.exe,0"
  WriteRegStr HKLM "${ENTRY}" "InstallLocation" $INSTDIR
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$INSTDIR\Retractor.exe" Pathloom.app'
  WriteRegStr HKLM "${ENTRY}" "QuietUninstallString" '"$INSTDIR\Retractor.exe" /s Pathloom.app'
  SectionGetSize ${SecPathloom} $0
  WriteRegDWORD HKLM "${ENTRY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${ENTRY}" "NoRepair" 1
  !undef ENTRY
SectionEnd

Section "Plotwright flowchart stand-in" SecPlotwright
  SetOutPath $INSTDIR
  File "${PROGRAMS}\Plotwright.exe"
  ; It registers itself as the automation server, as it does when run by hand.
  ExecWait '"$INSTDIR\Plotwright.exe" /regserver' $0
  ${If} $0 != 0
    DetailPrint "Plotwright could not register itself (exit status $0)."
  ${EndIf}

  !define ENTRY "${UNINSTALL_KEY}\Plotwright"
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "Plotwright flowchart stand-in ${VERSION}"
  WriteRegStr HKLM "${ENTRY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ENTRY}" "Publisher" "Korvane"
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" "$INSTDIR\Plotwright.exe,0"
  WriteRegStr HKLM "${ENTRY}" "InstallLocation" $INSTDIR
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$INSTDIR\Retractor.exe" Plotwright.app'
  WriteRegStr HKLM "${ENTRY}" "QuietUninstallString" '"$INSTDIR\Retractor.exe" /s Plotwright.app'
  SectionGetSize ${SecPlotwright} $0
  WriteRegDWORD HKLM "${ENTRY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${ENTRY}" "NoModify" 1
  WriteRegDWORD HKLM "${ENTRY}" "NoRepair" 1
  !undef ENTRY
SectionEnd

Section "-Data"
  CreateDirectory $DataDir
  !insertmacro InstallManifest "Pathloom.app" $R1
  ${If} ${SectionIsSelected} ${SecPlotwright}
    !insertmacro InstallManifest "Plotwright.app" $R2
  ${EndIf}
  !insertmacro InstallManifest "Shared.sys" $R3
SectionEnd

; After the sections, whose numbers it reads.
Function MakeManifests
  InitPluginsDir
  SetShellVarContext all
  StrCpy $DataDir "$PROGRAMFILES\Korvane"
  StrCpy $MenuDir "$SMPROGRAMS\Pathloom"
  StrCpy $TooLong ""

  !insertmacro BeginManifest "Pathloom.app"
  !insertmacro PlainLine "/ Pathloom ${VERSION}"
  ; The wizard's title: removing Pathloom while it runs stops with Retractor's message.
  !insertmacro PlainLine "A Pathloom 2.0"
  !insertmacro PathLine F APPDIR $INSTDIR "\Pathloom.exe"
  !insertmacro PathLine F APPDIR $INSTDIR "\Pathloom.htm"
  !insertmacro PathLine F APPDIR $INSTDIR "\sitemap.txt"
  !insertmacro PathLine F MENUDIR $MenuDir "\Pathloom.lnk"
  !insertmacro PathLine F MENUDIR $MenuDir "\Pathloom Help.lnk"
  !insertmacro PathLine F MENUDIR $MenuDir "\Uninstall Pathloom.lnk"
  !insertmacro PathLine D MENUDIR $MenuDir ""
  !insertmacro PlainLine 'K Machine "${UNINSTALL_KEY}\Pathloom"'
  !insertmacro PlainLine 'K Machine "${BASE_KEY}\MENUDIR"'
  !insertmacro EndManifest
  StrCpy $R1 $Count

  StrCpy $R2 0
  ${If} ${SectionIsSelected} ${SecPlotwright}
    !insertmacro BeginManifest "Plotwright.app"
    !insertmacro PlainLine "/ Plotwright flowchart stand-in ${VERSION}"
    !insertmacro PlainLine "A # PlotwrightFrame"
    !insertmacro PathLine F APPDIR $INSTDIR "\Plotwright.exe"
    !insertmacro PlainLine 'K Machine "SOFTWARE\Classes\tesselplot.application"'
    !insertmacro PlainLine 'K Machine "SOFTWARE\Classes\CLSID\${PLOTWRIGHT_CLSID}"'
    !insertmacro PlainLine 'K Machine "${UNINSTALL_KEY}\Plotwright"'
    !insertmacro EndManifest
    StrCpy $R2 $Count
  ${EndIf}

  ; Run once no product is left. Retractor cannot delete itself while it runs: it and the folders
  ; that hold it go at the next restart, the library with this run. The variables are read before
  ; the base key goes, and a manifest keeps what it has read, so the lines after that still work.
  !insertmacro BeginManifest "Shared.sys"
  !insertmacro PlainLine "/ Korvane shared components"
  !insertmacro PathLine C APPDIR $INSTDIR "\KorvaneCleanup.dll RemoveAtRestart Retractor.exe"
  !insertmacro PathLine C APPDIR $INSTDIR "\KorvaneCleanup.dll RemoveAtRestart ."
  !insertmacro PathLine U APPDIR $INSTDIR "\KorvaneCleanup.dll RemoveAtRestart $DataDir"
  !insertmacro PlainLine 'K Machine "${BASE_KEY}"'
  !insertmacro PlainLine 'K Machine E "SOFTWARE\Korvane"'
  !insertmacro EndManifest
  StrCpy $R3 $Count

  StrLen $0 "$DataDir\Plotwright.app"
  ${If} $0 > ${MAX_TEXT}
    StrCpy $TooLong "$DataDir\Plotwright.app"
  ${EndIf}
  ${If} $TooLong != ""
    MessageBox MB_OK|MB_ICONSTOP "Pathloom cannot be installed in this folder: the path$\r$\n$\r$\n$TooLong$\r$\n$\r$\nis longer than the ${MAX_TEXT} characters the Korvane Uninstaller can remove. Please choose a shorter folder." /SD IDOK
    DetailPrint "Path too long for the Korvane Uninstaller: $TooLong"
    SetErrorLevel 2
    Abort
  ${EndIf}
FunctionEnd

; The stand-in is chosen unless another flowchart application answers to its ProgID: installing
; it would take that registration over. /PLOTWRIGHT chooses it whatever answers, for a silent
; setup (/S) that has no components page.
Function .onInit
  SetShellVarContext all
  ReadRegStr $0 HKCR "tesselplot.application\CLSID" ""
  ${If} $0 != ""
  ${AndIf} $0 != "${PLOTWRIGHT_CLSID}"
    !insertmacro UnselectSection ${SecPlotwright}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PLOTWRIGHT" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPlotwright}
  ${EndIf}
FunctionEnd
