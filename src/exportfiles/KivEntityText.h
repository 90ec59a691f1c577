#pragma once

#include "platform/KivSymbol.h"

#include <string>
#include <string_view>
#include <vector>

// Text rules for entity prototypes, shared by the entity objects and by code that only has the
// prototype text (the repository engine's PRG splitter, the readers of export files).

// Builds the process-wide list of the sixteen entity keywords; run once at start-up. Reading the
// list before that builds it too.
void KivInitEntityMarkers();
// A copy of the keyword list: CLASS, METHOD, ACCESS, ASSIGN, INHERIT, FUNCTION, PROCEDURE,
// RESOURCE, STATIC, DEFINE, HIDDEN, PROTECT, UNION, STRUCTURE, TEXTBLOCK, GLOBAL.
std::vector<std::string> KivGetKeywords();

// Tabs as blanks, each parenthesis between blanks, no blanks at either end: the words of the text
// are then found by blanks alone ("FUNCTION Foo(a)" and "FUNCTION Foo (a)" look alike). Made in
// out, whose room the caller may keep from one call to the next.
void KivCleanPrototypeText(std::string_view text, std::string& out);

// The prototype as Prototype shows it: each keyword, abbreviated down to four letters and
// standing at the start or after a blank, written out in capitals (at most once per keyword),
// and every ":=" preceded by a blank. Other text keeps its case. Not idempotent (":=" gains a
// blank each time), so normalise a stored prototype exactly once.
std::string KivNormalisePrototype(std::string_view voPrototype);

// The functions below take a normalised prototype (the result of KivNormalisePrototype).

// The entity's display name: "Class:Name" for a METHOD, ACCESS or ASSIGN with a CLASS clause,
// the text after the keyword for a TEXTBLOCK, otherwise the name after the type word (and after
// DIM for a dimensioned global). The type comes from the prototype's first word, or its second
// after STATIC, HIDDEN, PROTECT or _DLL.
std::string KivEntityInfo(std::string_view prototype);
// The same with the type given by the caller (an entity that knows its type otherwise).
std::string KivEntityInfo(std::string_view prototype, KivSymbol type);

// The type word (upper case) as a symbol: the first word, or the second after STATIC, HIDDEN,
// PROTECT or _DLL. The null symbol for a prototype without that word.
KivSymbol KivPrototypeType(std::string_view prototype);
// STATIC, HIDDEN or PROTECT when the prototype begins with one of them, otherwise PUBLIC
// (also after _DLL, which is no visibility).
KivSymbol KivPrototypeVisibility(std::string_view prototype);
