@echo off
rem Builds UCRT import libraries for Tarvex in a Visual Studio (2015 or later)
rem native-tools environment. Tarvex runs it after vcvarsall.bat:
rem
rem     Tarvex.cmd ARCHITECTURE "LIBRARY-FOLDER\_PB_msvcrt.lib"
rem
rem ARCHITECTURE is x86 or x64. For each C runtime variant the librarian merges
rem the import and static libraries that make it up, found on the LIB path,
rem into ARCHITECTURE\_<variant>_<VS major version>_msvcrt.lib beside this
rem script.
rem
rem Exit code: the number of variants built (1 to 4; a variant whose libraries
rem are not all on the LIB path is skipped), 0 when none could be built (it
rem names the libraries it did not find), and for errors: 5 _PB_msvcrt.lib not
rem found, 6 wrong arguments, 7 not run in the native-tools environment, 8 the
rem architecture folder missing, 9 the librarian failed. Exit code 0 and the
rem errors wait for a key unless TARVEX_NO_PAUSE is set.
setlocal EnableExtensions DisableDelayedExpansion

set "architecture=%~1"
set "pbCrt=%~2"
if "%architecture%"=="" goto wrongArguments
if "%pbCrt%"=="" goto wrongArguments
if not "%~3"=="" goto wrongArguments
if /i not "%architecture%"=="x86" if /i not "%architecture%"=="x64" goto wrongArguments
if not exist "%pbCrt%" goto noPbCrt
if not defined VisualStudioVersion goto noEnvironment
if not defined LIB goto noEnvironment
set "output=%~dp0%architecture%"
if not exist "%output%\" goto noFolder
for /f "delims=." %%v in ("%VisualStudioVersion%") do set "tag=%%v"

set built=0
set "missing="
call :variant MD msvcrt.lib vcruntime.lib ucrt.lib
if errorlevel 1 goto librarianFailed
call :variant MT libcmt.lib libvcruntime.lib libucrt.lib
if errorlevel 1 goto librarianFailed
call :variant MDd msvcrtd.lib vcruntimed.lib ucrtd.lib
if errorlevel 1 goto librarianFailed
call :variant MTd libcmtd.lib libvcruntimed.lib libucrtd.lib
if errorlevel 1 goto librarianFailed
if %built%==0 goto nothingBuilt
exit /b %built%

rem :variant NAME LIBRARY... builds one variant; fails only when the librarian
rem does. An old result is removed first, so a skipped or failed variant never
rem leaves a stale file for Tarvex to take.
:variant
set "target=%output%\_%1_%tag%_msvcrt.lib"
if exist "%target%" del /f /q "%target%"
if exist "%target%" exit /b 1
set "lacking="
for %%f in (%2 %3 %4) do if "%%~$LIB:f"=="" call :lacks %%f
if defined lacking exit /b 0
rem The printf and scanf family as real functions, for linkers that cannot
rem use the inline ones of the UCRT headers.
set "legacy="
for %%f in (legacy_stdio_definitions.lib) do if not "%%~$LIB:f"=="" set "legacy=%%f"
echo Tarvex.cmd: building _%1_%tag%_msvcrt.lib
lib /NOLOGO "/OUT:%target%" %2 %3 %4 %legacy%
if errorlevel 1 exit /b 1
set /a built+=1
exit /b 0

rem :lacks LIBRARY notes an input library the LIB path does not hold.
:lacks
set "lacking=1"
set "missing=%missing% %1"
exit /b 0

:nothingBuilt
echo Tarvex.cmd: no variant could be built; not found on the LIB path:%missing%
set code=0
goto failed
:wrongArguments
echo Tarvex.cmd: expected x86 or x64 and the quoted path of _PB_msvcrt.lib.
set code=6
goto failed
:noPbCrt
echo Tarvex.cmd: _PB_msvcrt.lib not found: "%pbCrt%"
set code=5
goto failed
:noEnvironment
echo Tarvex.cmd: run it in a Visual Studio native-tools prompt (vcvarsall.bat).
set code=7
goto failed
:noFolder
echo Tarvex.cmd: the folder "%output%" beside Tarvex.exe is missing.
set code=8
goto failed
:librarianFailed
echo Tarvex.cmd: the librarian could not build "%target%".
set code=9
goto failed
:failed
if not defined TARVEX_NO_PAUSE pause
exit /b %code%
