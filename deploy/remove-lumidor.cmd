@echo off
setlocal
rem Removes Lumidor wherever it was installed: runs the uninstall entry's
rem QuietUninstallString with the arguments given here (/purge, /log="...")
rem and ends with its exit status; 2 when no installation is registered.
set LUMIDOR_REMOVE=
for /f "tokens=2,*" %%a in ('reg query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Lumidor" /v QuietUninstallString /reg:32 2^>nul ^| find "REG_SZ"') do set LUMIDOR_REMOVE=%%b
rem Windows XP has no registry views.
if not defined LUMIDOR_REMOVE for /f "tokens=2,*" %%a in ('reg query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Lumidor" /v QuietUninstallString 2^>nul ^| find "REG_SZ"') do set LUMIDOR_REMOVE=%%b
rem Windows XP x64 has the 32-bit view under Wow6432Node but no /reg: switch.
if not defined LUMIDOR_REMOVE for /f "tokens=2,*" %%a in ('reg query "HKLM\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Lumidor" /v QuietUninstallString 2^>nul ^| find "REG_SZ"') do set LUMIDOR_REMOVE=%%b
if not defined LUMIDOR_REMOVE exit /b 2
%LUMIDOR_REMOVE% %*
exit /b %errorlevel%
