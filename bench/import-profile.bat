@echo off
rem What an administrator does without the tool: copy a prepared PRF into the
rem user's application-data folder and make the same fifteen registry changes.
copy /y "%~dp0outlook.prf" "%APPDATA%\outlook.prf" >nul
for %%v in (12.0 11.0 10.0 9.0 8.0) do (
  reg delete "HKCU\Software\Microsoft\Office\%%v\Outlook\Setup" /v FirstRun /f >nul 2>&1
  reg delete "HKCU\Software\Microsoft\Office\%%v\Outlook\Setup" /v First-Run /f >nul 2>&1
  reg add "HKCU\Software\Microsoft\Office\%%v\Outlook\Setup" /v ImportPRF /t REG_SZ /d "%APPDATA%\outlook.prf" /f >nul
)
