#include "support/KivReadStreamError.h"

namespace {

KivErrorObject Describe() {
    KivErrorObject error;
    error.Description = "Can't Read enough bytes to fill buffer";
    error.Severity = 2;
    error.Operation = "ReadBuffer";
    return error;
}

} // namespace

KivReadStreamError::KivReadStreamError(const KivStream* raiser, const char* function, unsigned line)
    : KivError(Describe(), function, line), m_raiser(raiser) {}
