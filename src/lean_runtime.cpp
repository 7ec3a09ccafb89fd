// Keeps the static C++ runtime from linking in what the tool's programs never
// use.
//
// The runtime's default terminate handler writes the name of an uncaught
// exception to stderr, demangled, and brings the whole C++ demangler with it
// (about a tenth of Tarvex.exe). The tool throws nothing past its handlers,
// a GUI program has no stderr to write to, and a script reads TarvexC's exit
// code, not a type name, so this definition, which takes the place of the
// runtime's, only ends the process the same way.
//
// The containers report a request they cannot serve through the runtime's
// __throw_* functions, whose file brings the exception classes with texts
// and, for their ABI, a second, copy-on-write implementation of std::string
// (together about a ninth of Tarvex.exe). Here every such request is the
// out-of-memory it amounts to: a size beyond what memory holds (a length
// read from a damaged file) is caught where reading a dropped file catches
// std::bad_alloc, and anything else ends the process as before.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_length_error(const char*) {
    throw bad_alloc();
}
void __throw_logic_error(const char*) {
    throw bad_alloc();
}
void __throw_out_of_range(const char*) {
    throw bad_alloc();
}
void __throw_out_of_range_fmt(const char*, ...) {
    throw bad_alloc();
}

} // namespace std
