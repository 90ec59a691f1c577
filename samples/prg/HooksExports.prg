// Inventory Hooks: functions the DLL exports to other programs.

FUNCTION StockLevel(dwItemID AS DWORD) AS LONG PASCAL
	RETURN 0

FUNCTION HookVersion() AS STRING PASCAL
	RETURN "1.0"

_DLL FUNCTION MessageBeep(uType AS DWORD) AS LOGIC PASCAL:USER32.MessageBeep
