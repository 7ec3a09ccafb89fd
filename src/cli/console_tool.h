// TarvexC: the tool's choices for build scripts and servers, without a window.
// It drives the same core as the window: the store, the switch, the record,
// the build and the runtime check, with the controls held in memory.
#pragma once

#include <string>
#include <vector>

#include "core/tool_services.h"

namespace tarvex {

// The exit codes a script tests.
enum ConsoleExit : int {
    kExitDone = 0,        // done; for check, one choice fits every file
    kExitUsage = 1,       // unknown command or option, no compiler, an unsafe SDK text
    kExitNotStored = 2,   // the variant, Visual Studio or registered prompt is not stored
    kExitCopyFailed = 3,  // a library copy failed (the copy error was printed)
    kExitNeedsAnswer = 4, // the library folder needs a decision: run init, or put a file back
    kExitBuildFailed = 5, // the build failed or made no library
    kExitNoFit = 6,       // check: no single choice fits every file
    kExitUnreadable = 7,  // check: a file cannot be read
    kExitOtherCopy = 8,   // another Tarvex runs
};

// Where the program writes: texts to standard output, errors to standard
// error.
class ConsoleOutput {
public:
    virtual ~ConsoleOutput() = default;
    virtual void out(const std::wstring& line) = 0;
    virtual void error(const std::wstring& line) = 0;
};

// The platform's services besides those the console program supplies itself
// (messages, sounds, the end and the environment's compiler).
struct ConsolePlatform {
    FileSystem& files;
    ByteFileService& byteFiles;
    Environment& environment;
    Clipboard& clipboard;
    ProgramLauncher& programs;
    ShortcutReader& shortcuts;
    // Takes the single-instance lock; false when another copy holds it.
    bool (*takeLock)();
};

// The usage text of --help.
std::wstring consoleUsage();

// Runs one command line (the arguments without the program name) and
// returns the exit code.
int runConsoleTool(const std::vector<std::wstring>& arguments, ConsolePlatform& platform,
                   ConsoleOutput& output);

} // namespace tarvex
