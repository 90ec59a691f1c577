// Common Lib: records shared with the DLL hooks.

STRUCTURE StockRecord
	MEMBER dwItemID AS DWORD
	MEMBER nQuantity AS LONG
	MEMBER DIM szCode[16] AS BYTE

UNION StockValue
	MEMBER nCount AS LONG
	MEMBER fWeight AS REAL8

GLOBAL DIM gaWarehouses[4] AS STRING

DEFINE MAX_WAREHOUSES := 4
