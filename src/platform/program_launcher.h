// Starting other programs: the build command, which the tool waits for, and
// web pages, which it hands to the shell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tarvex {

struct StartOptions {
    bool waitForExit = false; // block until the program has ended
    bool keepHandle = false;  // hand back a ProgramHandle for its exit code
};

// The process of a started program. It owns the process: destroying the
// handle releases it.
class ProgramHandle {
public:
    virtual ~ProgramHandle() = default;
    // -1 when the shell started the program and gave no id.
    virtual std::int64_t processId() const = 0;
    // 0 when the exit code cannot be read.
    virtual std::uint32_t exitCode() const = 0;
};

// Nothing started (started false), started, or started with its handle kept.
struct StartedProgram {
    bool started = false;
    std::unique_ptr<ProgramHandle> handle;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // A program text that begins with a double quote is the whole command
    // line, arguments included; any other is quoted as one path. When the
    // system cannot create the process, the shell gets the request.
    virtual StartedProgram startProgram(const std::wstring& program, const std::wstring& parameters,
                                        const std::wstring& workingDirectory,
                                        StartOptions options) = 0;
};

// Reads the exit code and releases the process at once; 0 without a handle.
inline std::uint32_t exitCodeOf(std::unique_ptr<ProgramHandle> handle) {
    return handle ? handle->exitCode() : 0;
}

} // namespace tarvex
