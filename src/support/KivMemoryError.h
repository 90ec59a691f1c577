#pragma once

#include "support/KivError.h"

class KivStream;

// A typed read of a memory stream outside its bytes.
// The raiser identifies the stream; it may be gone by the time the error is caught (the stream
// lived on the stack that unwound), so compare it, never follow it.
class KivMemoryError : public KivError {
public:
    // The raising routine and line are those of the throw, as for KivError.
    explicit KivMemoryError(const KivStream* raiser, const char* function = __builtin_FUNCTION(),
                            unsigned line = __builtin_LINE());
    const KivStream* Raiser() const { return m_raiser; }

private:
    const KivStream* m_raiser;
};
