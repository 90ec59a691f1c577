#include "support/KivStreamError.h"

namespace {

struct FaultText {
    const char* description;
    const char* operation;
};

// In the order of KivStreamFault.
constexpr FaultText kFaultTexts[] = {
    {"Can't create a KivStream Object", "Init"},
    {"Read data out of allocated memory", "Init"},
    {"Can't Read enough bytes to fill buffer", "ReadBuffer"},
    {"Can't Write all bytes from buffer", "WriteBuffer"},
};

} // namespace

KivErrorObject KivStreamFaultError(KivStreamFault fault) {
    const FaultText& text = kFaultTexts[static_cast<size_t>(fault)];
    KivErrorObject error;
    error.Description = text.description;
    error.Severity = 2;
    error.Operation = text.operation;
    return error;
}
