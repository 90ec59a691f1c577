// Common Lib: accounting periods.

DEFINE FIRST_MONTH_OF_YEAR := 1

FUNCTION PeriodOf(dDate AS DATE) AS STRING
	RETURN NTrim(Year(dDate)) + "-" + StrZero(Month(dDate), 2, 0)

FUNCTION PeriodStart(cPeriod AS STRING) AS DATE
	RETURN ConDate(Val(Left(cPeriod, 4)), Val(Right(cPeriod, 2)), 1)

FUNCTION IsClosedPeriod(cPeriod AS STRING) AS LOGIC
	RETURN cPeriod < PeriodOf(Today() - 31)

PROCEDURE ResetPeriods() _INIT3
	// Left over from the 1.x period table; kept so that old applications still link.
	RETURN
