#pragma once

#include "support/KivError.h"

class KivStream;

// What a stream raises when it cannot report through a result.
enum class KivStreamFault {
    // Constructing a stream class that has no construction of its own (KivStream,
    // KivCustomMemoryStream).
    Construction,
    // A typed read of a memory stream outside its bytes.
    Memory,
    // A stream gave fewer bytes than ReadBuffer asked for.
    Read,
    // A stream took fewer bytes than WriteBuffer handed it.
    Write,
};

// The run-time's error object of a fault: its description, operation and severity.
KivErrorObject KivStreamFaultError(KivStreamFault fault);

// A stream's error, one type a fault so that each is caught by its own type.
// The raiser identifies the stream; it may be gone by the time the error is caught (the stream
// lived on the stack that unwound), so compare it, never follow it.
template <KivStreamFault Fault> class KivRaisedStreamError : public KivError {
public:
    // The raising routine and line are those of the throw, as for KivError.
    explicit KivRaisedStreamError(const KivStream* raiser, const char* function = __builtin_FUNCTION(),
                                  unsigned line = __builtin_LINE())
        : KivError(KivStreamFaultError(Fault), function, line), m_raiser(raiser) {}
    const KivStream* Raiser() const { return m_raiser; }

private:
    const KivStream* m_raiser;
};

using KivStreamError = KivRaisedStreamError<KivStreamFault::Construction>;
using KivMemoryError = KivRaisedStreamError<KivStreamFault::Memory>;
using KivReadStreamError = KivRaisedStreamError<KivStreamFault::Read>;
using KivWriteStreamError = KivRaisedStreamError<KivStreamFault::Write>;
