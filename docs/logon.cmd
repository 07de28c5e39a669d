@echo off
rem Wendelmarquistone logon script: prepares the user's Outlook profile for
rem Exchange at the first logon (RUNONCE) and appends what happened to a log
rem file. It never waits for anyone and always ends with exit status 0.
rem For cmd.exe on Windows XP and later; see deploying.md.
setlocal EnableExtensions DisableDelayedExpansion

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

rem Files of this run's own: two logons of one user at once (a terminal
rem server) may share %TEMP%.
set "WM_RUN=%RANDOM%%RANDOM%"
set "WM_OUT=%TEMP%\Wendelmarquistone-%WM_RUN%-output.txt"
set "WM_ENTRY=%TEMP%\Wendelmarquistone-%WM_RUN%-entry.txt"
if exist "%WM_OUT%" del "%WM_OUT%" >nul 2>&1

rem The server name as the tool will read it. The tool takes a name of only
rem spaces, tabs and single quotes for none and shows its usage window, which
rem would hold the logon until someone clicks; it reads a word after a space
rem as the user name; and from a leading quote it reads up to the next quote.
rem So the spaces and tabs around the name are dropped here, and a name that
rem is blank, has a space, a tab (no server name has one) or a quote inside,
rem or starts with / or - (a switch) is refused. Values are read inside "..."
rem only, where & ( ) ^ and the like are plain text, so a " is checked first.
rem The blank in "	" and in :	= on the lines below is a tab character.
if not defined WM_SERVER goto no_server
set "WM_NAME=%WM_SERVER:"=%"
set "WM_CHECK=%WM_SERVER:"=[%"
set "WM_QUOTED="
if not "%WM_CHECK%"=="%WM_NAME%" set "WM_QUOTED=yes"
:trim_front
if not defined WM_NAME goto blank_server
if "%WM_NAME:~0,1%"==" " (set "WM_NAME=%WM_NAME:~1%" & goto trim_front)
if "%WM_NAME:~0,1%"=="	" (set "WM_NAME=%WM_NAME:~1%" & goto trim_front)
:trim_back
if "%WM_NAME:~-1%"==" " (set "WM_NAME=%WM_NAME:~0,-1%" & goto trim_back)
if "%WM_NAME:~-1%"=="	" (set "WM_NAME=%WM_NAME:~0,-1%" & goto trim_back)
set "WM_CHECK=%WM_NAME:'=%"
if defined WM_CHECK set "WM_CHECK=%WM_CHECK: =%"
if defined WM_CHECK set "WM_CHECK=%WM_CHECK:	=%"
if not defined WM_CHECK goto blank_server
set "WM_CHECK=%WM_NAME: =%"
set "WM_CHECK=%WM_CHECK:	=%"
if not "%WM_CHECK%"=="%WM_NAME%" goto split_server
set "WM_CHECK=%WM_NAME:'=%"
if not "%WM_CHECK%"=="%WM_NAME%" set "WM_QUOTED=yes"
if defined WM_QUOTED goto quoted_server
if "%WM_NAME:~0,1%"=="/" goto bad_server
if "%WM_NAME:~0,1%"=="-" goto bad_server
if not exist "%WM_EXE%" goto no_exe

"%WM_EXE%" "%WM_NAME%" RUNONCE >"%WM_OUT%" 2>&1
set "WM_RESULT=Wendelmarquistone %WM_NAME% RUNONCE: exit status %ERRORLEVEL%"
goto record

:no_server
set "WM_RESULT=not run: no Exchange server set - WM_SERVER is empty"
goto record
:blank_server
set "WM_RESULT=not run: no Exchange server set - WM_SERVER holds only spaces, tabs or quotes"
goto record
:split_server
set "WM_RESULT=not run: the server name %WM_NAME% has a space or tab in it"
goto record
:quoted_server
set "WM_RESULT=not run: the server name in WM_SERVER has a quote in it"
goto record
:bad_server
set "WM_RESULT=not run: the server name %WM_NAME% starts with / or -"
goto record
:no_exe
set "WM_RESULT=not run: %WM_EXE% not found"
goto record

rem One entry: date, time, computer, user and the result on one line, then
rem the tool's output, if it ran. It goes to this user's and computer's log
rem file in the log folder if that can be reached (it is made if missing),
rem else to the user's %TEMP%.
rem The user name (R&D, 50%, x!y and (a) are all valid ones) and the line
rem holding it reach a command only as FOR variables, which cmd fills in after
rem it has read the command, so nothing in them is taken as part of it.
:record
set "WM_HEAD=%DATE% %TIME% %COMPUTERNAME% %USERDOMAIN%\"
set "WM_FOLDER="
if defined WM_LOG if not exist "%WM_LOG%\" mkdir "%WM_LOG%" >nul 2>&1
if defined WM_LOG if exist "%WM_LOG%\" set "WM_FOLDER=%WM_LOG%\%COMPUTERNAME%_"
if not defined USERNAME set "USERNAME=?"
for /f "tokens=1* delims==" %%a in ('set USERNAME') do (
  if /i "%%a"=="USERNAME" (
    set "WM_LINE=%WM_HEAD%%%b: %WM_RESULT%"
    for /f "tokens=1* delims==" %%c in ('set WM_LINE') do (
      if /i "%%c"=="WM_LINE" >"%WM_ENTRY%" echo %%d
    )
    if exist "%WM_OUT%" type "%WM_OUT%" >>"%WM_ENTRY%"
    type "%WM_ENTRY%"
    if defined WM_FOLDER (
      type "%WM_ENTRY%" >>"%WM_FOLDER%%%b.log" 2>nul
    ) else (
      type "%WM_ENTRY%" >>"%TEMP%\Wendelmarquistone.log" 2>nul
    )
  )
)

if exist "%WM_OUT%" del "%WM_OUT%" >nul 2>&1
if exist "%WM_ENTRY%" del "%WM_ENTRY%" >nul 2>&1
endlocal
exit /b 0
