#include "support/KivMemoryError.h"

namespace {

KivErrorObject Describe() {
    KivErrorObject error;
    error.Description = "Read data out of allocated memory";
    error.Severity = 2;
    error.Operation = "Init";
    return error;
}

} // namespace

KivMemoryError::KivMemoryError(const KivStream* raiser, const char* function, unsigned line)
    : KivError(Describe(), function, line), m_raiser(raiser) {}
