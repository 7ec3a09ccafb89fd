// Real files for the tests, the demo and the benchmarks.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tarvex::testing {

namespace fs = std::filesystem;

// The file's bytes; empty when it cannot be read.
inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool writeBytes(const fs::path& path, const std::string& bytes) {
    return bool(std::ofstream(path, std::ios::binary) << bytes);
}

// Every entry below a folder: relative name -> content; folders end in "\".
inline std::map<std::wstring, std::string> snapshot(const fs::path& folder) {
    std::map<std::wstring, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::wstring name = entry.path().lexically_relative(folder).wstring();
        entries[entry.is_directory() ? name + L"\\" : name] =
            entry.is_directory() ? "" : readBytes(entry.path());
    }
    return entries;
}

// A new folder under the temporary folder, removed with its contents.
class TempDirectory {
public:
    explicit TempDirectory(const std::wstring& prefix = L"tarvex-test-") {
        for (unsigned attempt = 0; path_.empty(); ++attempt) {
            const auto candidate = fs::temp_directory_path() / (prefix + std::to_wstring(attempt));
            path_ = fs::create_directory(candidate) ? candidate.wstring() : L"";
        }
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory() {
        std::error_code ignored; // a file still held open stays behind
        fs::remove_all(path_, ignored);
    }
    // Without a trailing backslash.
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace tarvex::testing
