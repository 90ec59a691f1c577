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

KivStreamError::KivStreamError(const KivStream* raiser, std::source_location where)
    : KivError(Describe(), where), m_raiser(raiser) {}
