// Stand-in for the Visual Studio librarian: "lib /NOLOGO /OUT:file input...".
// Each input is looked for on %LIB% as the real one does; the output holds
// the inputs' bytes in command-line order, so a test can tell what went in.
#include <cstdio>
#include <string>

namespace {

bool readOnLib(const std::wstring& name, std::string& merged) {
    const wchar_t* lib = _wgetenv(L"LIB");
    std::wstring folders = lib ? lib : L"";
    for (std::size_t at = 0; at <= folders.size();) {
        std::size_t end = folders.find(L';', at);
        end = end == std::wstring::npos ? folders.size() : end;
        if (FILE* file = _wfopen((folders.substr(at, end - at) + L"\\" + name).c_str(), L"rb")) {
            for (int c; (c = std::fgetc(file)) != EOF;) {
                merged += static_cast<char>(c);
            }
            std::fclose(file);
            return true;
        }
        at = end + 1;
    }
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring output;
    std::string merged;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.starts_with(L"/OUT:")) {
            output = argument.substr(5);
        } else if (argument.starts_with(L"/") ? argument != L"/NOLOGO"
                                              : !readOnLib(argument, merged)) {
            std::fwprintf(stderr, L"LNK1181: cannot open input file '%ls'\n", argument.c_str());
            return 1181;
        }
    }
    FILE* file = output.empty() ? nullptr : _wfopen(output.c_str(), L"wb");
    if (!file) {
        return 1104;
    }
    std::fwrite(merged.data(), 1, merged.size(), file);
    return std::fclose(file) == 0 ? 0 : 1104;
}
