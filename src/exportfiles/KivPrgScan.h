#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splitting PRG source text into entities, shared by the PRG reader and the repository engine.

// One entity of a source: its lines (1-based, inclusive) and its prototype as it was written
// (cleaned and joined, not yet normalised: see KivNormalisePrototype).
struct KivPrgSpan {
    uint32_t firstLine;
    uint32_t lastLine;
    std::string prototype;
};

// Removes block comments from one line. The flag says whether the line starts inside a comment
// and tells the next line whether it does. Quotes (either kind, one flag for both) protect
// comment marks outside a comment; inside one they are plain text. "//" is not handled here.
void KivExpurgateLine(std::string& line, bool& inComment);

// The entities of a source, in source order. A line begins an entity when its first word, or
// its second after HIDDEN, PROTECT, STATIC or _DLL (each down to four letters), is an entity
// keyword abbreviated down to four letters; lines inside block comments are skipped. An entity
// runs to the line before the next one; lines before the first belong to none.
std::vector<KivPrgSpan> KivScanPrgLines(const std::vector<std::string>& lines);
// The same for lines that are views into a text the caller keeps.
std::vector<KivPrgSpan> KivScanPrgLineViews(const std::vector<std::string_view>& lines);

// The lines of a text. CR LF and a lone LF end a line and are not kept; a CR elsewhere stays in
// its line. A line end at the very end of the text gives no further empty line.
std::vector<std::string> KivSplitSourceLines(std::string_view text);

// The lines of a file as KivFileBin::ReadLine(maximum) reads them one after the other until the
// end: LF ends a line and a CR just before it is dropped, a CR as the very last byte is dropped
// too, and a line longer than maximum is cut there, its rest being the next line.
// The lines are views into the text.
std::vector<std::string_view> KivSplitFileLines(std::string_view text, size_t maximum);

// Lines first to last (1-based, inclusive), each followed by CR LF. Bounds outside the list
// are brought inside it; nothing when first is after last.
std::string KivJoinSourceLines(const std::vector<std::string>& lines, uint32_t first, uint32_t last);
std::string KivJoinSourceLineViews(const std::vector<std::string_view>& lines, uint32_t first, uint32_t last);
