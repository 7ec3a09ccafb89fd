// File helpers for tests that work on real files under Windows: whole-file
// reads and writes, trees, and temporary folders. Long paths work too.
#pragma once

#include <map>
#include <string>

namespace tarvex::testing {

// The file's bytes; empty when it cannot be read.
std::string readBytes(const std::wstring& path);
bool writeBytes(const std::wstring& path, const std::string& bytes);
bool pathExists(const std::wstring& path);
// Removes a folder and everything in it.
void removeTree(const std::wstring& path);
// Every entry below a folder: relative name -> content; folders end in "\".
std::map<std::wstring, std::string> snapshot(const std::wstring& directory);

// A new folder under the temporary folder, removed with its contents.
class TempDirectory {
public:
    explicit TempDirectory(const std::wstring& prefix = L"tarvex-test-");
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory();

    // Without a trailing backslash.
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace tarvex::testing
