#include <cstdlib>

// libstdc++'s default terminate handler writes the uncaught exception's
// demangled type to the standard error stream, which a window program does
// not have; the demangler alone is a tenth of the program. Defining the
// handler here keeps that part of the library out of the link: the program
// ends as abort() ends it, and the crash report has the rest.
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
