// A stand-in driver whose .def file decides which entry points it exports and under
// which names; each answers with its own name, so a test sees which one it reached.
#include <cstring>

namespace {
int Answer(char* out, const char* name) {
    std::strcpy(out, name);
    return 7;
}
}  // namespace

extern "C" int __stdcall iReadCardBas(int, char* out) { return Answer(out, "iReadCardBas"); }
extern "C" int __stdcall iReloadPIN(int, char*, char* out) { return Answer(out, "iReloadPIN"); }
extern "C" int __stdcall iDoDebit(int, char*, char*, char* out) { return Answer(out, "iDoDebit"); }
