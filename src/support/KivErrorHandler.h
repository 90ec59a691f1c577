#pragma once

#include "support/KivError.h"

#include <string>

// Settings of the program's run-time layer that the error handler follows.
struct KivRuntimeSettings {
    bool ErrorLog = true;      // append every handled error to VOERROR.LOG
    bool Beep = false;         // three tones before the error box
    bool CanBreak = false;     // a "break out of the current sequence" is possible
    bool NetworkError = false; // set when an error was taken for a network error
    std::string DefaultDir;    // the run-time's default directory, cleared when the log path fails
    std::string DateFormat = "MM/DD/YYYY";
};

KivRuntimeSettings& KivRuntime();

// What the handler decided. Retry: try the failed operation again. Default / Substitute: go on
// with a default or an empty value of SubstituteType. Break: abandon the current sequence.
// Quit: end the program with exitCode (the caller ends it; the handler itself never exits).
struct KivErrorOutcome {
    enum Kind { Retry, Default, Substitute, Break, Quit } kind = Default;
    uint32_t exitCode = 0;
    uint32_t substituteType = 0;
};

// The default error handler: message, log record, error box, decision.
KivErrorOutcome DefError(KivErrorObject error);
// An exception that is no run-time error is reported as the argument of an error of DefError.
KivErrorOutcome DefError(const std::exception& exception);

// The message text the box shows and the log holds, call stack included.
std::string KivErrorMessage(const KivErrorObject& error);
// The record appended to the log, given the message and the moment's date and time texts.
std::string KivErrorLogRecord(const KivErrorObject& error, const std::string& message, const std::string& date,
                              const std::string& time);

// Makes DefError the handler of exceptions that nothing catches: std::terminate reports the
// current exception through it, then ends the program with the error's general code.
void KivInstallErrorHandler();
