@echo off
rem Wendelmarquistone logon script: prepares the user's Outlook profile for
rem Exchange (by default at the first logon only: RUNONCE) and appends what
rem happened to a log file. It never waits for anyone and always ends with
rem exit status 0.
rem For cmd.exe on Windows XP and later; see deploying.md.
setlocal EnableExtensions DisableDelayedExpansion

rem ---- Settings ------------------------------------------------------------
rem The Exchange server's name, e.g. mail.corp.example. While it is empty the
rem tool is not started (without a server name it would show a window).
if not defined WM_SERVER set "WM_SERVER="
rem The tool, by its full path; by default the copy beside this script.
if not defined WM_EXE set "WM_EXE=%~dp0Wendelmarquistone.exe"
rem The folder for the log files, by its full path, on a share where users
rem may create files and append to them. Only its last folder is made, so a
rem typing error in the path is not created. Empty, unreachable or not
rem writable: %TEMP%\Wendelmarquistone.log, with the reason in the entry.
if not defined WM_LOG set "WM_LOG=\\fileserver\Logs$\Wendelmarquistone"
rem The tool's options, as words: RUNONCE (write the profile only while the
rem user has no %APPDATA%\outlook.prf), ONLY_EMPTY (keep the profiles the user
rem has), both (RUNONCE ONLY_EMPTY), or none (leave it empty). What each does
rem to existing profiles: deploying.md, "Existing profiles".
if not defined WM_OPTIONS set "WM_OPTIONS=RUNONCE"
rem --------------------------------------------------------------------------

rem How values are handled. The settings, the user's and computer's names
rem and the TEMP folder (R&D, 50%, x!y, (a) and C:\t50%b are all valid) never
rem reach cmd's parser: a %VAR% or a CALL argument is read as part of the
rem command, and inside a FOR block a loop's letter in it (%b) is filled in.
rem So a value is printed by SET, as it is, into a file of this run's own and
rem read back only into a FOR variable, which cmd fills in after it has read
rem the command. Loops are not nested (an inner loop would fill its letter
rem into the outer one's value), and a line is made of pieces appended to a
rem file by SET /P, which writes no line end; no piece starts with a blank
rem (Vista and later drop it). The tool's path and the server name come to
rem its command line from one line of a file, split at a tab, which neither
rem can hold. Only the system's own values are read in commands: this
rem script's folder (above), the system folder, the date and the time.
rem Delayed expansion is not used: Wine's cmd reads ! and % inside expanded
rem values again. Wine's cmd (the tests run this script in it) also reads a
rem FOR variable's value again for the letters of its loop, so the loops use
rem only y and z (a value holding %y or %z is changed there, not on Windows);
rem it has no working && and ||, and GOTO does not leave a FOR loop there, so
rem results are taken from ERRORLEVEL or from flags.

rem This run's own folder in %TEMP%: MKDIR fails when the name is taken, and
rem then the next number is tried. %RANDOM% starts from the clock's second, so
rem logons started in the same second (two of one user on a terminal server)
rem draw the same numbers, and each takes the first one still free. Its files
rem are named relative to %TEMP%, which becomes the current folder: cmd gives
rem it as the place where "." is found in the folders listed in TEMP (%%~$TEMP:z
rem for z = .), or else as SET prints it in a cmd of its own. (call ) sets
rem ERRORLEVEL to 0; PUSHD and MKDIR set it to 1 when they fail.
set "WM_IN_TEMP="
(call )
for %%z in (.) do if not "%%~$TEMP:z"=="" set "WM_IN_TEMP=yes"
for %%z in (.) do if not "%%~$TEMP:z"=="" pushd "%%~$TEMP:z" 2>nul
if defined WM_IN_TEMP goto in_temp
for /f "tokens=1* delims==" %%y in ('set TEMP') do (
  if /i "%%y"=="TEMP" set "WM_IN_TEMP=yes"
  if /i "%%y"=="TEMP" pushd "%%z" 2>nul
)
:in_temp
if errorlevel 1 set "WM_IN_TEMP="
if not defined WM_IN_TEMP goto no_run_folder
set /a "WM_TRY=0"
:run_folder
set /a "WM_TRY+=1"
set "WM_RUN=Wendelmarquistone-%RANDOM%"
(call )
mkdir "%WM_RUN%" 2>nul
if not errorlevel 1 goto run_folder_made
if exist "%WM_RUN%" if %WM_TRY% lss 100 goto run_folder
popd
:no_run_folder
echo Wendelmarquistone logon script: no folder of its own can be made in the
echo TEMP folder; the tool was not run, and nothing was logged.
endlocal
exit /b 0
:run_folder_made

rem The server name as the tool will read it. The tool takes a name of only
rem spaces, tabs and single quotes for none and shows its usage window, which
rem would hold the logon until someone clicks; it reads a word after a space
rem as the user name; and from a leading quote it reads up to the next quote.
rem So the spaces and tabs around the name are dropped here, and a name that
rem is blank, has a space, a tab (no server name has one) or a quote inside,
rem or starts with / or - (a switch) is refused. The words are found by FOR
rem in "x " and the name, the quotes in "x", the name and "x".
rem The blank in "delims='	 " and in "delims=	 " below is a tab character.
if not defined WM_SERVER goto no_server
>"%WM_RUN%\server" <nul set /p "=x "
call :value WM_SERVER server
>"%WM_RUN%\server-quotes" <nul set /p "=x"
call :value WM_SERVER server-quotes "x"
set "WM_BLANK=yes"
for /f "usebackq tokens=2 delims='	 " %%z in ("%WM_RUN%\server") do set "WM_BLANK="
if defined WM_BLANK goto blank_server
set "WM_SPLIT="
for /f "usebackq tokens=3 delims=	 " %%z in ("%WM_RUN%\server") do set "WM_SPLIT=yes"
if defined WM_SPLIT goto split_server
for /f "usebackq tokens=2 delims=	 " %%z in ("%WM_RUN%\server") do set "WM_NAME=%%z"
set "WM_QUOTED="
for /f "usebackq tokens=2 delims='" %%z in ("%WM_RUN%\server-quotes") do set "WM_QUOTED=yes"
call :quote WM_SERVER
if defined WM_QUOTED goto quoted_server
call :value WM_NAME name
set "WM_NO_SLASH="
for /f "usebackq eol=/ delims=" %%z in ("%WM_RUN%\name") do set "WM_NO_SLASH=yes"
set "WM_NO_DASH="
for /f "usebackq eol=- delims=" %%z in ("%WM_RUN%\name") do set "WM_NO_DASH=yes"
if not defined WM_NO_SLASH goto bad_server
if not defined WM_NO_DASH goto bad_server

rem The options: at most two words, each RUNONCE or ONLY_EMPTY in any case,
rem which the tool reads in the second and third place. They reach the tool's
rem command line as this script's own words (WM_USED), never as typed. The
rem words are found by FOR in "x " and the options.
set "WM_USED="
if not defined WM_OPTIONS goto options_done
set "WM_QUOTED="
call :quote WM_OPTIONS
if defined WM_QUOTED goto quoted_options
>"%WM_RUN%\options" <nul set /p "=x "
call :value WM_OPTIONS options
set "WM_WORD1="
set "WM_WORD2="
set "WM_WORD3="
set "WM_OPTION1="
set "WM_OPTION2="
for /f "usebackq tokens=2 delims=	 " %%z in ("%WM_RUN%\options") do set "WM_WORD1=yes"
for /f "usebackq tokens=2 delims=	 " %%z in ("%WM_RUN%\options") do if /i "%%z"=="RUNONCE" set "WM_OPTION1=RUNONCE"
for /f "usebackq tokens=2 delims=	 " %%z in ("%WM_RUN%\options") do if /i "%%z"=="ONLY_EMPTY" set "WM_OPTION1=ONLY_EMPTY"
for /f "usebackq tokens=3 delims=	 " %%z in ("%WM_RUN%\options") do set "WM_WORD2=yes"
for /f "usebackq tokens=3 delims=	 " %%z in ("%WM_RUN%\options") do if /i "%%z"=="RUNONCE" set "WM_OPTION2=RUNONCE"
for /f "usebackq tokens=3 delims=	 " %%z in ("%WM_RUN%\options") do if /i "%%z"=="ONLY_EMPTY" set "WM_OPTION2=ONLY_EMPTY"
for /f "usebackq tokens=4 delims=	 " %%z in ("%WM_RUN%\options") do set "WM_WORD3=yes"
if defined WM_WORD3 goto many_options
if defined WM_WORD1 if not defined WM_OPTION1 goto bad_options
if defined WM_WORD2 if not defined WM_OPTION2 goto bad_options
if "%WM_OPTION2%"=="%WM_OPTION1%" set "WM_OPTION2="
if defined WM_OPTION1 set "WM_USED=%WM_OPTION1%"
if defined WM_OPTION2 set "WM_USED=%WM_OPTION1% %WM_OPTION2%"
:options_done

set "WM_QUOTED="
call :quote WM_EXE
if defined WM_QUOTED goto quoted_exe
call :value WM_EXE exe
set "WM_FOUND="
for /f "usebackq delims=" %%z in ("%WM_RUN%\exe") do if exist "%%z" set "WM_FOUND=yes"
if not defined WM_FOUND goto no_exe

rem The tool's path and the server name, one line split at the tab, then the
rem options (the setting is at the top).
call :value WM_EXE command "	"
call :value WM_NAME command
for /f "usebackq tokens=1,2 delims=	" %%y in ("%WM_RUN%\command") do "%%y" %%z %WM_USED% >"%WM_RUN%\output" 2>&1
set "WM_STATUS=%ERRORLEVEL%"
>"%WM_RUN%\result" <nul set /p "=Wendelmarquistone "
if defined WM_USED call :value WM_NAME result " %WM_USED%: exit status "
if not defined WM_USED call :value WM_NAME result ": exit status "
call :value WM_STATUS result
goto record

:no_server
>"%WM_RUN%\result" <nul set /p "=not run: no Exchange server set - WM_SERVER is empty"
goto record
:blank_server
>"%WM_RUN%\result" <nul set /p "=not run: no Exchange server set - WM_SERVER holds only spaces, tabs or quotes"
goto record
:split_server
for /f "usebackq tokens=1* delims=	 " %%y in ("%WM_RUN%\server") do set "WM_NAME=%%z"
>"%WM_RUN%\result" <nul set /p "=not run: the server name "
call :value WM_NAME result " has a space or tab in it"
goto record
:quoted_server
>"%WM_RUN%\result" <nul set /p "=not run: the server name in WM_SERVER has a quote in it"
goto record
:bad_server
>"%WM_RUN%\result" <nul set /p "=not run: the server name "
call :value WM_NAME result " starts with / or -"
goto record
:quoted_options
>"%WM_RUN%\result" <nul set /p "=not run: WM_OPTIONS has a quote in it"
goto record
:many_options
>"%WM_RUN%\result" <nul set /p "=not run: WM_OPTIONS has more than two words: "
call :value WM_OPTIONS result
goto record
:bad_options
>"%WM_RUN%\result" <nul set /p "=not run: WM_OPTIONS has a word that is not RUNONCE or ONLY_EMPTY: "
call :value WM_OPTIONS result
goto record
:quoted_exe
>"%WM_RUN%\result" <nul set /p "=not run: the path in WM_EXE has a quote in it"
goto record
:no_exe
>"%WM_RUN%\result" <nul set /p "=not run: "
call :value WM_EXE result " not found"
goto record

rem One entry: date, time, computer, user and the result on one line, then
rem the tool's output, if it ran. It is appended to this user's and
rem computer's log file in the log folder. Where that cannot be done, it goes
rem to the user's %TEMP%\Wendelmarquistone.log, with a line that says why
rem after the first. The entry is printed as it was logged.
:record
set "WM_WHEN=%DATE% %TIME%"
if not defined COMPUTERNAME set "COMPUTERNAME=?"
if not defined USERDOMAIN set "USERDOMAIN=?"
if not defined USERNAME set "USERNAME=?"
call :value WM_WHEN head " "
call :value COMPUTERNAME head " "
call :value USERDOMAIN head "\"
call :value USERNAME head ": "
type "%WM_RUN%\result" >>"%WM_RUN%\head"
>>"%WM_RUN%\head" echo/
copy /b "%WM_RUN%\head" "%WM_RUN%\entry" >nul
if exist "%WM_RUN%\output" type "%WM_RUN%\output" >>"%WM_RUN%\entry"

if not defined WM_LOG goto log_in_temp
>"%WM_RUN%\note" <nul set /p "=Not logged in "
call :value WM_LOG note ": "
set "WM_QUOTED="
call :quote WM_LOG
if not defined WM_QUOTED goto log_folder
>>"%WM_RUN%\note" <nul set /p "=its path has a quote in it."
goto log_in_temp
:log_folder
call :value WM_LOG folder
rem A folder's attributes start with d.
set "WM_FOLDER="
for /f "usebackq delims=" %%z in ("%WM_RUN%\folder") do if "%%~az" geq "d" set "WM_FOLDER=yes"
if defined WM_FOLDER goto log_file
set "WM_PARENT="
for /f "usebackq delims=" %%z in ("%WM_RUN%\folder") do if exist "%%~dpz" set "WM_PARENT=yes"
if defined WM_PARENT goto make_folder
>>"%WM_RUN%\note" <nul set /p "=the folder it is made in cannot be found or reached: "
for /f "usebackq delims=" %%z in ("%WM_RUN%\folder") do >>"%WM_RUN%\note" <nul set /p "=%%~dpz"
goto log_in_temp
:make_folder
call :make_folder 2>"%WM_RUN%\why"
for /f "usebackq delims=" %%z in ("%WM_RUN%\folder") do if "%%~az" geq "d" set "WM_FOLDER=yes"
if defined WM_FOLDER goto log_file
>>"%WM_RUN%\note" <nul set /p "=the folder cannot be made: "
call :why "no reason given."
goto log_in_temp
:log_file
>"%WM_RUN%\note" <nul set /p "=Not logged in "
call :value WM_LOG note "\"
call :value COMPUTERNAME note "_"
call :value USERNAME note ".log: "
call :value WM_LOG file "\"
call :value COMPUTERNAME file "_"
call :value USERNAME file ".log"
call :append
if not defined WM_WRITTEN goto log_file_failed
type "%WM_RUN%\entry"
goto done
:log_file_failed
call :why "no reason given."

:log_in_temp
if exist "%WM_RUN%\note" >>"%WM_RUN%\note" echo/
copy /b "%WM_RUN%\head" "%WM_RUN%\entry" >nul
if exist "%WM_RUN%\note" type "%WM_RUN%\note" >>"%WM_RUN%\entry"
if exist "%WM_RUN%\output" type "%WM_RUN%\output" >>"%WM_RUN%\entry"
>"%WM_RUN%\file" <nul set /p "=Wendelmarquistone.log"
call :append
type "%WM_RUN%\entry"

:done
rd /s /q "%WM_RUN%" >nul 2>&1
popd
endlocal
exit /b 0

rem Appends the value of the variable %1, then the text %3, to the file %2 of
rem this run's folder, without a line end.
:value
if not defined %1 goto :eof
set %1>"%WM_RUN%\value"
set "WM_GOT="
for /f "usebackq tokens=1* delims==" %%y in ("%WM_RUN%\value") do (
  if /i "%%y"=="%~1" if not defined WM_GOT >>"%WM_RUN%\%~2" <nul set /p "=%%z%~3"
  if /i "%%y"=="%~1" set "WM_GOT=yes"
)
goto :eof

rem Sets WM_QUOTED if the variable %1 holds a " (it would end the quotes
rem around it). SET "name=text takes the text up to its last quote, so the
rem tab and x after the value are kept only where the value has none.
rem The blank in %%z	x and in "delims=	" below is a tab character.
:quote
type nul >"%WM_RUN%\quote"
call :value %1 quote
set "WM_MARKED="
for /f "usebackq delims=" %%z in ("%WM_RUN%\quote") do set "WM_MARKED=%%z	x
if not defined WM_MARKED goto :eof
set WM_MARKED>"%WM_RUN%\quote"
set "WM_KEPT="
for /f "usebackq tokens=2 delims=	" %%z in ("%WM_RUN%\quote") do set "WM_KEPT=yes"
if not defined WM_KEPT set "WM_QUOTED=yes"
goto :eof

rem Makes the log folder (its last level only: the one above it is there).
:make_folder
for /f "usebackq delims=" %%z in ("%WM_RUN%\folder") do mkdir "%%z"
goto :eof

rem Appends the entry to the log file named in the file "file"; WM_WRITTEN
rem says it was done (when the log file cannot be opened, the command after
rem the redirection does not run, and cmd's reason is kept in "why"). cmd
rem opens it for no one else to write, so another logon of the user that is
rem writing its entry at the same moment makes it fail: while the log file is
rem there (a file, not a folder), it is tried again, up to 100 times.
:append
set "WM_WRITTEN="
set /a "WM_TRY=0"
:append_again
set /a "WM_TRY+=1"
call :append_once 2>"%WM_RUN%\why"
if defined WM_WRITTEN goto :eof
set "WM_BUSY="
for /f "usebackq delims=" %%z in ("%WM_RUN%\file") do if exist "%%z" if "%%~az" lss "d" set "WM_BUSY=yes"
if defined WM_BUSY if %WM_TRY% lss 100 goto append_again
goto :eof
:append_once
for /f "usebackq delims=" %%z in ("%WM_RUN%\file") do >>"%%z" call :write_entry
goto :eof
:write_entry
type "%WM_RUN%\entry"
set "WM_WRITTEN=yes"
goto :eof

rem Ends the note with the first line of what cmd said on failing.
:why
set "WM_GOT="
for /f "usebackq delims=" %%z in ("%WM_RUN%\why") do (
  if not defined WM_GOT >>"%WM_RUN%\note" <nul set /p "=%%z"
  set "WM_GOT=yes"
)
if not defined WM_GOT >>"%WM_RUN%\note" <nul set /p "=%~1"
goto :eof
