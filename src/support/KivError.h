#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

// One level of the call stack an error carries: a routine and the line in it.
struct KivCallLevel {
    std::string routine;
    uint32_t line = 0;
};

// The run-time's error object: what went wrong, where, and what the handler may do about it.
// The field names are the ones the error log uses.
struct KivErrorObject {
    std::string SubSystem;
    uint32_t SubCode = 0; // 5333 marks a processor exception
    uint32_t GenCode = 0;
    uint32_t OsCode = 0;
    uint32_t ArgType = 0;
    uint32_t ArgTypeReq = 0;
    uint64_t FuncPtr = 0;
    std::string FuncSym;
    uint32_t ArgNum = 0;
    std::string Arg;
    uint32_t Severity = 2; // 1 is a warning
    bool CanDefault = false;
    bool CanRetry = false;
    bool CanSubstitute = false;
    std::string Operation;
    std::string Description;
    std::string FileName;
    uint32_t Tries = 0;
    int64_t FileHandle = 0;
    std::string SubCodeText;
    uint32_t MaxSize = 0;
    uint32_t SubstituteType = 0;
    std::string CallFuncSym;
    // Innermost level first.
    std::vector<KivCallLevel> CallStack;
};

// General error codes of the run-time.
namespace KivGen {
constexpr uint32_t Arg = 1;
constexpr uint32_t Bound = 2;
constexpr uint32_t NoVar = 14;
constexpr uint32_t Create = 20;
constexpr uint32_t Open = 21;
constexpr uint32_t Close = 22;
constexpr uint32_t Read = 23;
constexpr uint32_t Write = 24;
constexpr uint32_t Unsupported = 30;
constexpr uint32_t Corruption = 32;
constexpr uint32_t DataType = 33;
constexpr uint32_t AppendLock = 40;
constexpr uint32_t Mem = 11;
} // namespace KivGen

// Value type numbers of the run-time, as ArgType, ArgTypeReq and SubstituteType hold them.
namespace KivType {
constexpr uint32_t Nil = 0;
constexpr uint32_t Long = 1;
constexpr uint32_t Date = 2;
constexpr uint32_t Float = 3;
constexpr uint32_t Array = 5;
constexpr uint32_t Object = 6;
constexpr uint32_t String = 7;
constexpr uint32_t Logic = 8;
constexpr uint32_t CodeBlock = 9;
constexpr uint32_t Symbol = 10;
constexpr uint32_t Ptr = 18;
} // namespace KivType

// The standard text of a general error code ("Open error"); empty for an unknown code.
std::string KivGenCodeText(uint32_t genCode);
// The name of a value type number ("STRING"); "UNKNOWN" for an unknown number.
std::string KivTypeName(uint32_t type);

// A run-time error raised as a C++ exception; the error classes of the streams derive from it.
// What nothing catches reaches the error handler with the object it carries.
class KivError : public std::exception {
public:
    // The raising routine and line come from the place of the throw (gcc and clang builtins;
    // std::source_location is missing from clang 14 with this standard library).
    explicit KivError(KivErrorObject error, const char* function = __builtin_FUNCTION(),
                      unsigned line = __builtin_LINE());
    const char* what() const noexcept override { return m_error.Description.c_str(); }
    const KivErrorObject& Error() const { return m_error; }
    KivErrorObject& Error() { return m_error; }

private:
    KivErrorObject m_error;
};
