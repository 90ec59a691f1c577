// Ledger Lib: one posting of an account, and the totals of a period.

CLASS Posting
	EXPORT dDate AS DATE
	EXPORT cText AS STRING
	PROTECT nAmount AS FLOAT

METHOD Init(nNewAmount, cNewText) CLASS Posting
	dDate := Today()
	cText := cNewText
	nAmount := nNewAmount
	RETURN SELF

ACCESS Amount CLASS Posting
	RETURN nAmount

ACCESS Period CLASS Posting
	RETURN PeriodOf(dDate)

FUNCTION PeriodTotal(aPostings AS ARRAY, cPeriod AS STRING) AS FLOAT
	LOCAL nTotal := 0 AS FLOAT
	AEval(aPostings, {|o| nTotal += IIf(o:Period == cPeriod, o:Amount, 0)})
	RETURN nTotal

STRUCTURE PostingKey
	MEMBER dwAccount AS DWORD
	MEMBER dwSequence AS DWORD
