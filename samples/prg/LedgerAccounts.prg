// Ledger Lib: accounts and postings; builds on Common Lib.

CLASS Account
	PROTECT cCode AS STRING
	PROTECT nBalance AS FLOAT
	HIDDEN aPostings AS ARRAY
	EXPORT cName AS STRING

METHOD Init(cNewCode, cNewName) CLASS Account
	cCode := FormatCode("ACC", Val(cNewCode))
	cName := cNewName
	nBalance := 0
	aPostings := {}
	RETURN SELF

METHOD Post(nAmount AS FLOAT, cText AS STRING) AS VOID PASCAL CLASS Account
	AAdd(aPostings, {Today(), nAmount, cText})
	nBalance += nAmount
	RETURN

ACCESS Balance CLASS Account
	RETURN nBalance

ACCESS Code CLASS Account
	RETURN cCode

ASSIGN Code(cNewCode) CLASS Account
	cCode := FormatCode("ACC", Val(cNewCode))
	RETURN cCode

PROTECT METHOD Audit() CLASS Account
	LOCAL nSum := 0 AS FLOAT
	AEval(aPostings, {|a| nSum += a[2]})
	IF nSum <> nBalance
		LogError("Account " + cCode + ": postings do not add up")
	ENDIF
	RETURN nSum = nBalance
