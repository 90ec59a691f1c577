#include "support/KivStreamError.h"

namespace {

KivErrorObject Describe() {
    KivErrorObject error;
    error.Description = "Can't create a KivStream Object";
    error.Severity = 2;
    error.Operation = "Init";
    return error;
}

} // namespace

KivStreamError::KivStreamError(const KivStream* raiser, const char* function, unsigned line)
    : KivError(Describe(), function, line), m_raiser(raiser) {}
