#include "sandbox.h"

#include <windows.h>

#include <stdexcept>

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
        ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    require(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, path);
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

void snapshotInto(const std::wstring& base, const std::wstring& relative,
                  std::map<std::wstring, std::string>& files) {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((base + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[relative + name + L"\\"] = {};
            snapshotInto(base, relative + name + L"\\", files);
        } else {
            files[relative + name] = readBytes(base + relative + name);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
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
        require(::CopyFileW((buildDirectory() + stub).c_str(), compilerPath().c_str(), FALSE),
                compilerPath());
    }
    if (layout.libraryDirectory) {
        makeDirectories(libraryDirectory_);
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            putFile(libraryDirectory_, L"PB", name);
        }
    }
    makeDirectories(toolDirectory_);
    require(
        ::CopyFileW((buildDirectory() + L"Tarvex.exe").c_str(), toolExecutable().c_str(), FALSE),
        toolExecutable());
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

std::string readBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot read " + narrow(path));
    }
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    ::CloseHandle(file);
    return bytes;
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

bool pathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::wstring& path) {
    std::wstring directory = path;
    if (!directory.empty() && directory.back() == L'\\') {
        directory.pop_back();
    }
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = directory + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(directory.c_str());
}

std::map<std::wstring, std::string> snapshot(const std::wstring& directory) {
    std::map<std::wstring, std::string> files;
    snapshotInto(directory.back() == L'\\' ? directory : directory + L"\\", L"", files);
    return files;
}

} // namespace tarvex::e2e
