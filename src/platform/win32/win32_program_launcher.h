// Starting programs with CreateProcessW, and through the shell when that fails.
#pragma once

#include "platform/program_launcher.h"

namespace tarvex {

class Win32ProgramLauncher final : public ProgramLauncher {
public:
    StartedProgram startProgram(const std::wstring& program, const std::wstring& parameters,
                                const std::wstring& workingDirectory,
                                StartOptions options) override;
};

} // namespace tarvex
