// Common Lib: text helpers used by every application of the demo project.

DEFINE CRLF := _CHR(13) + _CHR(10)
DEFINE TAB_WIDTH := 4

GLOBAL gcLastError AS STRING

STATIC FUNCTION PadNumber(nValue AS LONG, nWidth AS LONG) AS STRING
	LOCAL cText AS STRING
	cText := AllTrim(Str(nValue))
	RETURN Replicate("0", nWidth - SLen(cText)) + cText

FUNCTION FormatCode(cPrefix AS STRING, nValue AS LONG) AS STRING
	RETURN Upper(cPrefix) + "-" + PadNumber(nValue, 6)

FUNCTION SplitLines(cText AS STRING) AS ARRAY
	LOCAL aLines := {} AS ARRAY
	LOCAL nPos AS DWORD
	DO WHILE (nPos := At2(CRLF, cText)) > 0
		AAdd(aLines, Left(cText, nPos - 1))
		cText := SubStr(cText, nPos + 2)
	ENDDO
	IF SLen(cText) > 0
		AAdd(aLines, cText)
	ENDIF
	RETURN aLines

PROCEDURE LogError(cMessage AS STRING)
	/* Keep only the last message: the status bar shows it
	   and the log file gets every one of them. */
	gcLastError := cMessage
	RETURN

TEXTBLOCK Release notes
	1.2  Codes are padded to six digits.
	1.1  SplitLines keeps a last line without CR LF.
