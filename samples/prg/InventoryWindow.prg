// Inventory: the main window, its menu and the goods receipt.

CLASS StockWindow INHERIT ShellWindow
	PROTECT oLedger AS Account
	PROTECT nSelected AS DWORD
	HIDDEN aItems AS ARRAY

METHOD Init(oOwner) CLASS StockWindow
	SUPER:Init(oOwner)
	SELF:Caption := "Inventory " + INVENTORY_VERSION
	SELF:Menu := IDM_StockMenu
	oLedger := Account{"1000", "Stock on hand"}
	aItems := {}
	RETURN SELF

METHOD Receive(nItem AS DWORD, nQuantity AS LONG) AS LOGIC PASCAL CLASS StockWindow
	LOCAL sRecord IS StockRecord
	sRecord.dwItemID := nItem
	sRecord.nQuantity := nQuantity
	AAdd(aItems, {nItem, nQuantity})
	oLedger:Post(FLOAT(nQuantity), "Received item " + NTrim(nItem))
	RETURN TRUE

METHOD PrintStock() CLASS StockWindow
	LOCAL cReport AS STRING
	cReport := StockReport(aItems)
	IF SLen(cReport) = 0
		LogError("Nothing in stock to print")
	ENDIF
	RETURN NIL

ACCESS SelectedItem CLASS StockWindow
	RETURN nSelected

ASSIGN SelectedItem(nItem) CLASS StockWindow
	nSelected := nItem
	SELF:Caption := "Inventory " + FormatCode("ITM", nItem)
	RETURN nSelected

RESOURCE IDM_StockMenu MENU
BEGIN
	POPUP "&File"
	BEGIN
		MENUITEM "&Receive...", 1001
		MENUITEM "&Print stock", 1003
		MENUITEM SEPARATOR
		MENUITEM "E&xit", 1002
	END
END

RESOURCE IDI_Stock ICON stock.ico
