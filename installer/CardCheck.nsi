; The card check tool's installer, for an office's workstations.
;
;   makensis -DVERSION=1.0.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> CardCheck.nsi
;
; STAGE holds the files the zip holds: CardCheck.exe, README.txt, and the simulated reader
; in Simulator\ (SSCardDriver.dll and its sample SSCardDriver.ini).
;
; Command line (besides /S for a silent run and /D=<folder> for the program folder):
;   /SIMULATOR  select the simulated reader (off by default); with /S it is the only way
;               to install it.
; Exit codes: 0 installed; 1 cancelled; 2 stopped (the data folder could not be made
; writable for users); 740 no administrator rights.
; The uninstaller (Uninstall.exe /S) returns at once and finishes in a copy of itself in
; the temporary folder; with "_?=<program folder>" last it works in place and returns
; when done: 0, or 3010 when files in use go at the next restart (itself among them).

Unicode true
; The file name the product asks for holds "Setup", about which makensis always warns.
!pragma warning disable 9000
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!ifndef VERSION | STAGE | OUTFILE
  !error "give -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif

; The version is the program's own: a program whose version resource says otherwise is
; not packaged under this version.
!getdllversion "${STAGE}/CardCheck.exe" PROGRAM_
!if "${PROGRAM_1}.${PROGRAM_2}.${PROGRAM_3}.${PROGRAM_4}" != "${VERSION}"
  !error "CardCheck.exe is version ${PROGRAM_1}.${PROGRAM_2}.${PROGRAM_3}.${PROGRAM_4}, not ${VERSION}"
!endif
; As the program's ProductVersion has it.
!define PRODUCT_VERSION "${PROGRAM_1}.${PROGRAM_2}"

; The program's ProductName (res/CardCheck.rc); the tests compare the two.
!define PRODUCT "Tessarin（自查版）"
!define PUBLISHER "Tessarin"
!define PRODUCT_KEY "Software\Tessarin\CardCheck"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TessarinCardCheck"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define DRIVER "SSCardDriver.dll"
!define DRIVER_INI "SSCardDriver.ini"
; Modify rights (read, write, execute, delete) for a folder and everything below it.
!define MODIFY_RIGHTS 0x1301BF

Name "${PRODUCT} ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tessarin\CardCheck"
InstallDirRegKey HKLM "${PRODUCT_KEY}" "InstallDir"
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

; The folder the shortcut starts the tool in: the check log goes below it (LOG\...), and
; Program Files is not writable by the operator.
Var DataDir
; What the last page adds when no reader driver is on the workstation after the install.
Var DriverNote

!define MUI_COMPONENTSPAGE_NODESC
!define MUI_ICON "${__FILEDIR__}/../res/app.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/app.ico"
!define MUI_COMPONENTSPAGE_TEXT_TOP "$(ComponentsText)"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_TEXT "$(FinishText)$DriverNote"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; Offers the restart when a file in use is left for it.
!insertmacro MUI_UNPAGE_FINISH

; The first language is the one used where the system's is neither.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${PUBLISHER}"

LangString ProgramSection ${LANG_SIMPCHINESE} "社会保障卡自查工具"
LangString ProgramSection ${LANG_ENGLISH} "Social security card check tool"
LangString SimSection ${LANG_SIMPCHINESE} "模拟读卡器"
LangString SimSection ${LANG_ENGLISH} "Simulated card reader"
LangString ComponentsText ${LANG_SIMPCHINESE} "模拟读卡器仅供培训和测试，不是真实读卡器。工作站上已有读卡器驱动（${DRIVER}）时，不安装模拟读卡器，原有驱动照常使用。"
LangString ComponentsText ${LANG_ENGLISH} "The simulated card reader is for training and testing, not for a real reader. Where a reader driver (${DRIVER}) is already installed, it is used as it is and the simulated reader is not installed."
LangString SimKept ${LANG_SIMPCHINESE} "已有读卡器驱动 $0，保留不动；模拟读卡器未安装。"
LangString SimKept ${LANG_ENGLISH} "A reader driver is already installed ($0); it is kept and used, and the simulated reader was not installed."
LangString NoDriver ${LANG_SIMPCHINESE} "$\r$\n$\r$\n未找到读卡器驱动 ${DRIVER}：请把读卡器厂商的驱动装到系统文件夹或程序文件夹（$INSTDIR）。没有驱动时本工具不能启动。"
LangString NoDriver ${LANG_ENGLISH} "$\r$\n$\r$\nNo reader driver ${DRIVER} was found: install the reader vendor's driver into the system folder or the program folder ($INSTDIR). Without a driver the tool does not start."
LangString FinishText ${LANG_SIMPCHINESE} "${PRODUCT} 已安装。$\r$\n$\r$\n检测日志保存在：$\r$\n$DataDir\LOG$\r$\n（开始菜单的快捷方式在 $DataDir 中启动本工具；卸载时不删除日志。）"
LangString FinishText ${LANG_ENGLISH} "${PRODUCT} has been installed.$\r$\n$\r$\nThe check logs are kept in:$\r$\n$DataDir\LOG$\r$\n(The Start-menu shortcut starts the tool in $DataDir; uninstalling keeps the logs.)"
LangString DataDirFailed ${LANG_SIMPCHINESE} "无法创建数据文件夹 $DataDir 或使其对用户可写（$0）。安装已停止。"
LangString DataDirFailed ${LANG_ENGLISH} "The data folder $DataDir could not be created or made writable for users ($0). The installation has stopped."
LangString NeedAdmin ${LANG_SIMPCHINESE} "安装需要管理员权限。"
LangString NeedAdmin ${LANG_ENGLISH} "Installing needs administrator rights."
LangString LogsKept ${LANG_SIMPCHINESE} "检测日志保留在 $DataDir\LOG。"
LangString LogsKept ${LANG_ENGLISH} "The check logs are kept in $DataDir\LOG."

; ---- what both installer and uninstaller use ----

!macro CommonInit un
Function ${un}CommonInit
    ; Per machine: the common Start menu and ProgramData, 32-bit registry view.
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_ICONSTOP|MB_OK "$(NeedAdmin)" /SD IDOK
        SetErrorLevel 740
        Quit
    ${EndIf}
    StrCpy $DataDir "$APPDATA\Tessarin\CardCheck"
FunctionEnd
!macroend
!insertmacro CommonInit ""
!insertmacro CommonInit "un."

; Gives BUILTIN\Users (by its SID, whatever the system's language) modify rights on the
; folder $0, inherited by every folder and file made below it: every operator appends to
; the same day's log files. Leaves $0 empty, or the failing call and its error code.
Function GrantUsersModify
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    StrCpy $3 0
    StrCpy $5 0
    System::Call 'advapi32::ConvertStringSidToSidW(w "S-1-5-32-545", *p .r1) i .r2'
    ${If} $2 == 0
        StrCpy $0 "ConvertStringSidToSid"
        Goto done
    ${EndIf}
    System::Call 'advapi32::GetNamedSecurityInfoW(w r0, i 1, i 4, p 0, p 0, *p .r2, p 0, *p .r3) i .r4'
    ${If} $4 != 0
        StrCpy $0 "GetNamedSecurityInfo $4"
        Goto done
    ${EndIf}
    ; EXPLICIT_ACCESS_W: rights, GRANT_ACCESS, SUB_CONTAINERS_AND_OBJECTS_INHERIT, and a
    ; TRUSTEE_W naming the well-known group by SID.
    System::Call '*(i ${MODIFY_RIGHTS}, i 1, i 3, p 0, i 0, i 0, i 5, p r1) p .r4'
    System::Call 'advapi32::SetEntriesInAclW(i 1, p r4, p r2, *p .r5) i .r2'
    System::Free $4
    ${If} $2 != 0
        StrCpy $0 "SetEntriesInAcl $2"
        Goto done
    ${EndIf}
    System::Call 'advapi32::SetNamedSecurityInfoW(w r0, i 1, i 4, p 0, p 0, p r5, p 0) i .r2'
    ${If} $2 != 0
        StrCpy $0 "SetNamedSecurityInfo $2"
        Goto done
    ${EndIf}
    StrCpy $0 ""
done:
    ${If} $5 != 0
        System::Call 'kernel32::LocalFree(p r5)'
    ${EndIf}
    ${If} $3 != 0
        System::Call 'kernel32::LocalFree(p r3)'
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r1)'
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; The driver the tool would load, as it looks for it: beside the program, then in the
; system folder (for this 32-bit installer, the one a 32-bit program sees). $0 is its path
; or empty.
Function FindDriver
    StrCpy $0 ""
    ${If} ${FileExists} "$INSTDIR\${DRIVER}"
        StrCpy $0 "$INSTDIR\${DRIVER}"
    ${ElseIf} ${FileExists} "$SYSDIR\${DRIVER}"
        StrCpy $0 "$SYSDIR\${DRIVER}"
    ${EndIf}
FunctionEnd

; ---- installer ----

Section "$(ProgramSection)" SecProgram
    SectionIn RO
    ; The data folder first: without it the operator's checks cannot be logged, and a
    ; stop here leaves nothing half installed.
    CreateDirectory "$DataDir"
    StrCpy $0 "$DataDir"
    ${IfNot} ${FileExists} "$DataDir\*.*"
        StrCpy $0 "CreateDirectory"
    ${Else}
        Call GrantUsersModify
    ${EndIf}
    ${If} $0 != ""
        DetailPrint "$(DataDirFailed)"
        MessageBox MB_ICONSTOP|MB_OK "$(DataDirFailed)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${STAGE}/CardCheck.exe"
    File "${STAGE}/README.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The shortcut's working directory is the output path when it is made.
    SetOutPath "$DataDir"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\CardCheck.exe" "" "$INSTDIR\CardCheck.exe" 0
    SetOutPath "$INSTDIR"

    WriteRegStr HKLM "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${PRODUCT_KEY}" "DataDir" "$DataDir"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\CardCheck.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    ; Deployment tools wait for the command and read its exit code: in place, it returns when
    ; done (3010: the uninstaller itself goes at the next restart).
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A driver already on the workstation (a vendor's, or a simulated reader installed before)
; is what the tool uses: the simulated one would take its place beside the program, so
; it is then not installed, and no file of that name is ever overwritten.
Section /o "$(SimSection)" SecSimulator
    Call FindDriver
    ${If} $0 != ""
        DetailPrint "$(SimKept)"
        MessageBox MB_ICONINFORMATION|MB_OK "$(SimKept)" /SD IDOK
    ${Else}
        SetOutPath "$INSTDIR"
        SetOverwrite off
        File "${STAGE}/Simulator/${DRIVER}"
        ; The sample settings, unless settings from an earlier install are there.
        File "${STAGE}/Simulator/${DRIVER_INI}"
        SetOverwrite on
        ; The uninstaller removes the simulated reader only when this installer placed it.
        WriteRegDWORD HKLM "${PRODUCT_KEY}" "SimulatedReader" 1
    ${EndIf}
SectionEnd

Section "-DriverCheck"
    Call FindDriver
    ${If} $0 == ""
        StrCpy $DriverNote "$(NoDriver)"
        DetailPrint "$(NoDriver)"
    ${EndIf}
    DetailPrint "$(LogsKept)"
SectionEnd

; The simulated reader is chosen on the command line for a silent install.
Function .onInit
    Call CommonInit
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/SIMULATOR" $2
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecSimulator}
    ${EndIf}
FunctionEnd

; ---- uninstaller ----

Function un.onInit
    Call un.CommonInit
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "DataDir"
    ${If} $0 != ""
        StrCpy $DataDir $0
    ${EndIf}
FunctionEnd

; Removes what the installer put there, file by file; the check logs below the data
; folder are never touched (the folder goes only when it is empty). A file in use (the
; tool still running; the uninstaller itself when it runs in place, with _?=) goes at the
; next restart, and the exit code is then 3010, "restart required".
Section "Uninstall"
    ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "SimulatedReader"
    ${If} $0 == 1
        Delete /REBOOTOK "$INSTDIR\${DRIVER}"
        Delete /REBOOTOK "$INSTDIR\${DRIVER_INI}"
    ${EndIf}
    Delete /REBOOTOK "$INSTDIR\CardCheck.exe"
    Delete /REBOOTOK "$INSTDIR\README.txt"
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    ; A driver someone else put beside the program keeps its folder. Files left for the
    ; restart take their folders with them then.
    ${If} ${RebootFlag}
        RMDir /REBOOTOK "$INSTDIR"
        RMDir /REBOOTOK "$PROGRAMFILES\Tessarin"
    ${Else}
        RMDir "$INSTDIR"
        RMDir "$PROGRAMFILES\Tessarin"
    ${EndIf}
    Delete "${SHORTCUT}"

    RMDir "$DataDir"
    RMDir "$APPDATA\Tessarin"
    DetailPrint "$(LogsKept)"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${PRODUCT_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Tessarin"
    ${If} ${RebootFlag}
        SetErrorLevel 3010
    ${EndIf}
SectionEnd
