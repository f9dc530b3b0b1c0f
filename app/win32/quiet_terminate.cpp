// Linked straight into each Windows program (not through a library, where the
// runtime's own definition could win).
#include <cstdlib>

#if defined(__GLIBCXX__)
// The runtime's own handler for an uncaught exception prints the exception's
// type before it aborts, which links in a C++ name demangler and a printf
// engine. A windowed program has nowhere to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif
