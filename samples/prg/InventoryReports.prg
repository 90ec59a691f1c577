// Inventory: printed stock reports (kept as an external source file).

FUNCTION StockReport(aItems AS ARRAY) AS STRING
	LOCAL cReport := "" AS STRING
	LOCAL nItem AS DWORD
	FOR nItem := 1 UPTO ALen(aItems)
		cReport += FormatCode("ITM", aItems[nItem][1]) + Space(2) + NTrim(aItems[nItem][2]) + CRLF
	NEXT
	RETURN cReport

STATIC PROCEDURE PrintHeader(cTitle AS STRING)
	? cTitle
	? Replicate("=", SLen(cTitle))
	RETURN
