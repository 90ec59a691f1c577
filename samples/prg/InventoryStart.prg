// Inventory: the executable's start and its main window.

FUNCTION Start()
	LOCAL oApp AS InventoryApp
	oApp := InventoryApp{}
	oApp:Start()
	RETURN NIL

CLASS InventoryApp INHERIT App
	PROTECT oMainWindow AS StockWindow

METHOD Start() CLASS InventoryApp
	oMainWindow := StockWindow{SELF}
	oMainWindow:Show(SHOWCENTERED)
	SELF:Exec()
	RETURN NIL

CLASS StockWindow INHERIT ShellWindow
	PROTECT oLedger AS Account

METHOD Init(oOwner) CLASS StockWindow
	SUPER:Init(oOwner)
	SELF:Caption := "Inventory " + FormatCode("V", 12)
	oLedger := Account{"1000", "Stock on hand"}
	RETURN SELF

METHOD Receive(nItem AS DWORD, nQuantity AS LONG) CLASS StockWindow
	LOCAL sRecord IS StockRecord
	sRecord.dwItemID := nItem
	sRecord.nQuantity := nQuantity
	oLedger:Post(FLOAT(nQuantity), "Received item " + NTrim(nItem))
	RETURN TRUE

RESOURCE IDM_StockMenu MENU
BEGIN
	POPUP "&File"
	BEGIN
		MENUITEM "&Receive...", 1001
		MENUITEM SEPARATOR
		MENUITEM "E&xit", 1002
	END
END
