#pragma once

#include "support/KivError.h"

class KivStream;

// Constructing a stream class that has no construction of its own (KivStream,
// KivCustomMemoryStream).
// The raiser identifies the stream; it may be gone by the time the error is caught (the stream
// lived on the stack that unwound), so compare it, never follow it.
class KivStreamError : public KivError {
public:
    explicit KivStreamError(const KivStream* raiser,
                            std::source_location where = std::source_location::current());
    const KivStream* Raiser() const { return m_raiser; }

private:
    const KivStream* m_raiser;
};
