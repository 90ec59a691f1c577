#pragma once

#include "support/KivError.h"

class KivStream;

// A stream took fewer bytes than WriteBuffer handed it.
// The raiser identifies the stream; it may be gone by the time the error is caught (the stream
// lived on the stack that unwound), so compare it, never follow it.
class KivWriteStreamError : public KivError {
public:
    // The raising routine and line are those of the throw, as for KivError.
    explicit KivWriteStreamError(const KivStream* raiser, const char* function = __builtin_FUNCTION(),
                                 unsigned line = __builtin_LINE());
    const KivStream* Raiser() const { return m_raiser; }

private:
    const KivStream* m_raiser;
};
