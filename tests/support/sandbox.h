// A PB compiler installation and a Tarvex installation in a temporary folder,
// for driving the real Tarvex.exe. Every library file has its own content,
// so any wrong copy shows in the bytes.
#pragma once

#include <map>
#include <string>

#include "test_files.h"

namespace tarvex::e2e {

using testing::pathExists;
using testing::readBytes;
using testing::removeTree;
using testing::snapshot;
using testing::writeBytes;

enum class Bitness { X86, X64 };

struct SandboxLayout {
    Bitness compiler = Bitness::X64;
    bool compilerExecutable = true;             // false: no pbcompilerc.exe at all
    std::wstring compilerFolder = L"Compilers"; // another name leaves the libraries beside it
    bool libraryDirectory = true;
};

class Sandbox {
public:
    // Lays out a new installation under root, or under a fresh temporary
    // folder when root is empty. A temporary folder is removed again.
    explicit Sandbox(const SandboxLayout& layout = {}, std::wstring root = {});
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;
    ~Sandbox();

    const std::wstring& root() const { return root_; }
    std::wstring compilerPath() const { return compilerDirectory_ + L"pbcompilerc.exe"; }
    const std::wstring& libraryDirectory() const { return libraryDirectory_; }
    const std::wstring& toolDirectory() const { return toolDirectory_; }
    std::wstring toolExecutable() const { return toolDirectory_ + L"Tarvex.exe"; }
    std::wstring architectureDirectory(Bitness bitness) const;
    // The IDE's variables for a start of the tool on this installation.
    std::map<std::wstring, std::wstring> ideEnvironment() const;

private:
    std::wstring root_;
    bool removeRoot_ = false;
    std::wstring compilerDirectory_;
    std::wstring libraryDirectory_;
    std::wstring toolDirectory_;
};

// The folder of the running test program, where the build puts Tarvex.exe and
// the compiler stand-ins.
std::wstring buildDirectory();
std::wstring architectureName(Bitness bitness);

// The distinct content the sandbox gives a file.
std::string sandboxContent(const std::wstring& owner, const std::wstring& name);

} // namespace tarvex::e2e
