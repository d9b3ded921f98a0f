; The Windows installer: scripts/build-windows passes VERSION, STAGE (the staged Tralvo
; folder) and OUTFILE. /S installs and uninstalls without asking.
; A 64-bit installer for 64-bit programs: it needs no 32-bit layer (WOW64) to run.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Tralvo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Brenlow\Tralvo"
Icon "${STAGE}\tralvo.ico"
UninstallIcon "${STAGE}\tralvo.ico"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tralvo"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tralvo"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Brenlow"
    CreateShortcut "$SMPROGRAMS\Brenlow\Tralvo.lnk" "$INSTDIR\Tralvo.exe" "" "$INSTDIR\tralvo.ico"
    CreateShortcut "$SMPROGRAMS\Brenlow\Com Troubleshooter.lnk" \
        "$INSTDIR\Com Troubleshooter.exe" "" "$INSTDIR\tralvo.ico"
    ; Apps & features lists it with its uninstaller.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tralvo"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brenlow"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tralvo.ico"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Brenlow\Tralvo.lnk"
    Delete "$SMPROGRAMS\Brenlow\Com Troubleshooter.lnk"
    RMDir "$SMPROGRAMS\Brenlow"
    ; Only what the installer put there: the user's own files in the folder stay.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\*.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\tralvo.ico"
    Delete "$INSTDIR\LICENSE.txt"
    RMDir "$INSTDIR"
    RMDir "$INSTDIR\.."
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
