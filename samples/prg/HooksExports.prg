// Inventory Hooks: functions the DLL exports to other programs.

GLOBAL gdwHookCalls AS DWORD

FUNCTION StockLevel(dwItemID AS DWORD) AS LONG PASCAL
	gdwHookCalls += 1
	RETURN 0

FUNCTION HookVersion() AS STRING PASCAL
	RETURN "1.0"

STATIC FUNCTION CheckCaller() AS LOGIC PASCAL
	RETURN gdwHookCalls < 0xFFFFFFFF

_DLL FUNCTION MessageBeep(uType AS DWORD) AS LOGIC PASCAL:USER32.MessageBeep
