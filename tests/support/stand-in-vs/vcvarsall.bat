@echo off
rem Stand-in for Visual Studio's vcvarsall.bat: records its arguments, checks
rem them as the real one does and sets what the build script relies on. A
rem failure ends the command interpreter (exit, not exit /b): Windows' cmd then
rem skips what follows "&&", which Wine's cmd would run. version.txt beside it,
rem when there is one, gives VisualStudioVersion.
echo [%1][%2]>>"%~dp0seen.txt"
if not "%3"=="" exit 1
if /i not "%~1"=="x64" if /i not "%~1"=="x86" exit 1
set "sdk=%~2"
if "%sdk%"=="" set "sdk=10.0.22621.0"
if not exist "%~dp0Kits\%sdk%\" exit 1
set "LIB=%~dp0lib\%~1;%~dp0Kits\%sdk%\%~1"
set "VisualStudioVersion=17.0"
if exist "%~dp0version.txt" set /p VisualStudioVersion=<"%~dp0version.txt"
set "PATH=%~dp0bin;%PATH%"
