// Keeps the static C++ runtime from linking in what a windowed program never
// uses.
//
// The runtime's default terminate handler writes the name of an uncaught
// exception to stderr, demangled, and brings the whole C++ demangler with it
// (about a tenth of Tarvex.exe). The tool throws nothing past its handlers,
// and a GUI program has no stderr to write to, so this definition, which
// takes the place of the runtime's, only ends the process the same way.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
