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

KivMemoryError::KivMemoryError(const KivStream* raiser, std::source_location where)
    : KivError(Describe(), where), m_raiser(raiser) {}
