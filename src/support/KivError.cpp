#include "support/KivError.h"

std::string KivGenCodeText(uint32_t genCode) {
    switch (genCode) {
    case 1: return "Argument error";
    case 2: return "Bound error";
    case 3: return "String overflow";
    case 4: return "Numeric overflow";
    case 5: return "Zero divisor";
    case 6: return "Numeric error";
    case 7: return "Syntax error";
    case 8: return "Operation too complex";
    case 11: return "Memory low";
    case 12: return "Undefined function";
    case 13: return "No exported method";
    case 14: return "Variable does not exist";
    case 15: return "Alias does not exist";
    case 16: return "No exported variable";
    case 17: return "Illegal characters in alias";
    case 18: return "Alias already in use";
    case 20: return "Create error";
    case 21: return "Open error";
    case 22: return "Close error";
    case 23: return "Read error";
    case 24: return "Write error";
    case 25: return "Print error";
    case 30: return "Operation not supported";
    case 31: return "Limit exceeded";
    case 32: return "Corruption detected";
    case 33: return "Data type error";
    case 34: return "Data width error";
    case 35: return "Workarea not in use";
    case 36: return "Workarea not indexed";
    case 37: return "Exclusive required";
    case 38: return "Lock required";
    case 39: return "Write not allowed";
    case 40: return "Append lock failed";
    case 41: return "Lock failure";
    default: return {};
    }
}

std::string KivTypeName(uint32_t type) {
    switch (type) {
    case 0: return "NIL";
    case 1: return "LONGINT";
    case 2: return "DATE";
    case 3: return "FLOAT";
    case 5: return "ARRAY";
    case 6: return "OBJECT";
    case 7: return "STRING";
    case 8: return "LOGIC";
    case 9: return "CODEBLOCK";
    case 10: return "SYMBOL";
    case 11: return "BYTE";
    case 12: return "SHORTINT";
    case 13: return "WORD";
    case 14: return "DWORD";
    case 15: return "REAL4";
    case 16: return "REAL8";
    case 17: return "PSZ";
    case 18: return "PTR";
    case 22: return "INT64";
    default: return "UNKNOWN";
    }
}

KivError::KivError(KivErrorObject error, const char* function, unsigned line) : m_error(std::move(error)) {
    const std::string routine = function ? function : "";
    if (m_error.CallStack.empty() && line != 0)
        m_error.CallStack.push_back({routine, line});
    if (m_error.FuncSym.empty())
        m_error.FuncSym = routine;
}
