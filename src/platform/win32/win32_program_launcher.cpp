#include "platform/win32/win32_program_launcher.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/shell_functions.h"
#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

class Win32ProgramHandle final : public ProgramHandle {
public:
    Win32ProgramHandle(UniqueKernelHandle process, std::int64_t id)
        : process_(std::move(process)), id_(id) {}

    std::int64_t processId() const override { return id_; }
    std::uint32_t exitCode() const override {
        DWORD code = 0;
        return ::GetExitCodeProcess(process_.get(), &code) ? code : 0;
    }

private:
    UniqueKernelHandle process_;
    std::int64_t id_;
};

std::wstring commandLineFor(const std::wstring& program, const std::wstring& parameters) {
    std::wstring line = program.starts_with(L'"') ? program : L'"' + program + L'"';
    if (!parameters.empty()) {
        line += L' ' + parameters;
    }
    return line;
}

// The given directory, or else the program's own folder when its text names
// one after its first character.
std::wstring shellDirectoryFor(const std::wstring& program, const std::wstring& workingDirectory) {
    if (!workingDirectory.empty()) {
        return workingDirectory;
    }
    const std::size_t last = program.find_last_of(L'\\');
    return last != std::wstring::npos && last > 0 ? program.substr(0, last + 1) : std::wstring();
}

const wchar_t* orNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

// A shell start of a document in a program that already runs may give no
// process: then there is nothing to wait for, and a kept handle reads 0.
StartedProgram started(UniqueKernelHandle process, std::int64_t id, StartOptions options) {
    if (options.waitForExit && process) {
        ::WaitForSingleObject(process.get(), INFINITE);
    }
    StartedProgram result{true, nullptr};
    if (options.keepHandle) {
        result.handle = std::make_unique<Win32ProgramHandle>(std::move(process), id);
    }
    return result;
}

bool createProcess(std::wstring commandLine, const std::wstring& workingDirectory,
                   PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                            NORMAL_PRIORITY_CLASS, nullptr, orNull(workingDirectory), &startup,
                            &info) != FALSE;
}

} // namespace

StartedProgram Win32ProgramLauncher::startProgram(const std::wstring& program,
                                                  const std::wstring& parameters,
                                                  const std::wstring& workingDirectory,
                                                  StartOptions options) {
    PROCESS_INFORMATION info{};
    if (createProcess(commandLineFor(program, parameters), workingDirectory, info)) {
        UniqueKernelHandle thread(info.hThread);
        return started(UniqueKernelHandle(info.hProcess), info.dwProcessId, options);
    }
    const std::wstring directory = shellDirectoryFor(program, workingDirectory);
    SHELLEXECUTEINFOW shell{};
    shell.cbSize = sizeof(shell);
    shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    shell.lpFile = program.c_str();
    shell.lpParameters = orNull(parameters);
    shell.lpDirectory = orNull(directory);
    shell.nShow = SW_SHOWNORMAL;
    const auto shellExecute = shellFunction<decltype(::ShellExecuteExW)>("ShellExecuteExW");
    if (!shellExecute || !shellExecute(&shell)) {
        return {};
    }
    return started(UniqueKernelHandle(shell.hProcess), -1, options);
}

} // namespace tarvex
