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

KivReadStreamError::KivReadStreamError(const KivStream* raiser, std::source_location where)
    : KivError(Describe(), where), m_raiser(raiser) {}
