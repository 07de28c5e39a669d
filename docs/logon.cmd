@echo off
rem Wendelmarquistone logon script: prepares the user's Outlook profile for
rem Exchange at the first logon (RUNONCE) and appends what happened to a log
rem file. It never waits for anyone and always ends with exit status 0.
rem For cmd.exe on Windows XP and later; see deploying.md.
setlocal EnableExtensions

rem ---- Settings ------------------------------------------------------------
rem The Exchange server's name, e.g. mail.corp.example. While it is empty the
rem tool is not started (without a server name it would show a window).
if not defined WM_SERVER set "WM_SERVER="
rem The tool; by default the copy beside this script.
if not defined WM_EXE set "WM_EXE=%~dp0Wendelmarquistone.exe"
rem The folder for the log files, on a share where users may create files and
rem append to them. Empty or unreachable: %TEMP%\Wendelmarquistone.log.
if not defined WM_LOG set "WM_LOG=\\fileserver\Logs$\Wendelmarquistone"
rem --------------------------------------------------------------------------

set "WM_OUT=%TEMP%\Wendelmarquistone-output.txt"
set "WM_ENTRY=%TEMP%\Wendelmarquistone-entry.txt"
if exist "%WM_OUT%" del "%WM_OUT%" >nul 2>&1

rem Never start the tool with a blank server name or a switch: it would show
rem its usage window and the script would wait for a click.
set "WM_CHECK="
if defined WM_SERVER set "WM_CHECK=%WM_SERVER: =%"
if not defined WM_CHECK goto no_server
if "%WM_CHECK:~0,1%"=="/" goto bad_server
if "%WM_CHECK:~0,1%"=="-" goto bad_server
if not exist "%WM_EXE%" goto no_exe

"%WM_EXE%" "%WM_SERVER%" RUNONCE >"%WM_OUT%" 2>&1
set "WM_RESULT=Wendelmarquistone %WM_SERVER% RUNONCE: exit status %ERRORLEVEL%"
goto record

:no_server
set "WM_RESULT=not run: no Exchange server set - WM_SERVER is empty"
goto record
:bad_server
set "WM_RESULT=not run: the server name %WM_SERVER% starts with / or -"
goto record
:no_exe
set "WM_RESULT=not run: %WM_EXE% not found"
goto record

rem One entry: date, time, computer, user and the result on one line, then
rem the tool's output, if it ran.
:record
>"%WM_ENTRY%" echo %DATE% %TIME% %COMPUTERNAME% %USERDOMAIN%\%USERNAME%: %WM_RESULT%
if exist "%WM_OUT%" type "%WM_OUT%" >>"%WM_ENTRY%"
type "%WM_ENTRY%"

rem Append it to this user's and computer's log file, in the log folder if it
rem can be reached (it is made if missing), else in the user's %TEMP%.
set "WM_LOGFILE=%TEMP%\Wendelmarquistone.log"
if not defined WM_LOG goto append
if not exist "%WM_LOG%\" mkdir "%WM_LOG%" >nul 2>&1
if exist "%WM_LOG%\" set "WM_LOGFILE=%WM_LOG%\%COMPUTERNAME%_%USERNAME%.log"
:append
type "%WM_ENTRY%" >>"%WM_LOGFILE%" 2>nul

if exist "%WM_OUT%" del "%WM_OUT%" >nul 2>&1
if exist "%WM_ENTRY%" del "%WM_ENTRY%" >nul 2>&1
endlocal
exit /b 0
