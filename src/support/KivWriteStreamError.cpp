#include "support/KivWriteStreamError.h"

namespace {

KivErrorObject Describe() {
    KivErrorObject error;
    error.Description = "Can't Write all bytes from buffer";
    error.Severity = 2;
    error.Operation = "WriteBuffer";
    return error;
}

} // namespace

KivWriteStreamError::KivWriteStreamError(const KivStream* raiser, const char* function, unsigned line)
    : KivError(Describe(), function, line), m_raiser(raiser) {}
