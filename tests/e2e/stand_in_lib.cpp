// Stand-in for the Visual Studio librarian, "lib /NOLOGO /OUT:file input...":
// finds each input on LIB as the real one does and writes their bytes, in
// command-line order, to the output.
#include <fstream>
#include <sstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
    std::wstring output;
    std::ostringstream merged;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        std::wistringstream folders(_wgetenv(L"LIB") ? _wgetenv(L"LIB") : L"");
        std::ifstream input;
        for (std::wstring folder; !input.is_open() && std::getline(folders, folder, L';');) {
            input.open((folder + L"\\" + argument).c_str(), std::ios::binary);
        }
        if (argument.starts_with(L"/OUT:")) {
            output = argument.substr(5);
        } else if (argument != L"/NOLOGO" && !(merged << input.rdbuf())) {
            return 1181; // cannot open input file
        }
    }
    std::ofstream(output.c_str(), std::ios::binary) << merged.str();
    return output.empty() ? 1104 : 0;
}
