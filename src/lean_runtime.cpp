// Keeps the static C++ runtime from linking in what the tool's programs never
// use.
//
// The runtime's default terminate handler writes the name of an uncaught
// exception to stderr, demangled, and brings the whole C++ demangler with it
// (about a tenth of Tarvex.exe). The tool throws nothing past its handlers,
// a GUI program has no stderr to write to, and a script reads TarvexC's exit
// code, not a type name, so this definition, which takes the place of the
// runtime's, only ends the process the same way.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
