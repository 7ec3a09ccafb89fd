#include "sandbox.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32/long_path.h"

namespace tarvex::e2e {
namespace {

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

void require(bool ok, const std::wstring& what) {
    if (!ok) {
        throw std::runtime_error("sandbox: cannot create " + narrow(what));
    }
}

void makeDirectories(const std::wstring& path) {
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
         at = path.find(L'\\', at + 1)) {
        ::CreateDirectoryW(extendedLengthPath(path.substr(0, at)).c_str(), nullptr);
    }
    require(pathExists(path), path);
}

bool copyFile(const std::wstring& source, const std::wstring& target) {
    return ::CopyFileW(extendedLengthPath(source).c_str(), extendedLengthPath(target).c_str(),
                       FALSE) != FALSE;
}

void putFile(const std::wstring& directory, const std::wstring& owner, const std::wstring& name) {
    require(writeBytes(directory + name, sandboxContent(owner, name)), directory + name);
}

std::wstring freshTemporaryFolder() {
    wchar_t temp[MAX_PATH + 1]{};
    ::GetTempPathW(MAX_PATH + 1, temp);
    static unsigned counter = 0;
    const std::wstring path = std::wstring(temp) + L"tarvex-sandbox-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter) + L"\\";
    removeTree(path);
    return path;
}

} // namespace

std::wstring buildDirectory() {
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), 32768);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring architectureName(Bitness bitness) {
    return bitness == Bitness::X86 ? L"x86" : L"x64";
}

std::string sandboxContent(const std::wstring& owner, const std::wstring& name) {
    return "library " + narrow(name) + " of " + narrow(owner) + "\r\n";
}

Sandbox::Sandbox(const SandboxLayout& layout, std::wstring root) : root_(std::move(root)) {
    if (root_.empty()) {
        root_ = freshTemporaryFolder();
        removeRoot_ = true;
    }
    if (root_.back() != L'\\') {
        root_ += L'\\';
    }
    compilerDirectory_ = root_ + L"PB\\" + layout.compilerFolder + L"\\";
    libraryDirectory_ = layout.compilerFolder == L"Compilers"
                            ? root_ + L"PB\\PureLibraries\\Windows\\Libraries\\"
                            : compilerDirectory_;
    toolDirectory_ = root_ + L"Tool\\";

    makeDirectories(compilerDirectory_);
    if (layout.compilerExecutable) {
        const std::wstring stub =
            layout.compiler == Bitness::X86 ? L"pe_stub_x86.exe" : L"pe_stub_x64.exe";
        require(copyFile(buildDirectory() + stub, compilerPath()), compilerPath());
    }
    if (layout.libraryDirectory) {
        makeDirectories(libraryDirectory_);
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            putFile(libraryDirectory_, L"PB", name);
        }
    }
    makeDirectories(toolDirectory_);
    require(copyFile(buildDirectory() + L"Tarvex.exe", toolExecutable()), toolExecutable());
    for (Bitness bitness : {Bitness::X86, Bitness::X64}) {
        const std::wstring directory = architectureDirectory(bitness);
        makeDirectories(directory);
        for (const wchar_t* name :
             {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib", L"_MT_msvcrt.lib",
              L"_MDd_msvcrt.lib", L"_MTd_msvcrt.lib", L"_MD_17_msvcrt.lib", L"_MT_16_msvcrt.lib"}) {
            putFile(directory, architectureName(bitness), name);
        }
    }
}

Sandbox::~Sandbox() {
    if (removeRoot_) {
        removeTree(root_);
    }
}

std::wstring Sandbox::architectureDirectory(Bitness bitness) const {
    return toolDirectory_ + architectureName(bitness) + L"\\";
}

std::map<std::wstring, std::wstring> Sandbox::ideEnvironment() const {
    return {{L"PB_TOOL_Compiler", compilerPath()},
            {L"PB_TOOL_Executable", root_ + L"Project\\Game.exe"}};
}

} // namespace tarvex::e2e
