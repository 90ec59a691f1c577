// Inventory: the executable's start, its application object and its settings.

GLOBAL goInventory AS InventoryApp

DEFINE INVENTORY_VERSION := "2.4"

FUNCTION Start()
	goInventory := InventoryApp{}
	goInventory:Start()
	RETURN NIL

CLASS InventoryApp INHERIT App
	PROTECT oMainWindow AS StockWindow
	PROTECT cDataPath AS STRING

METHOD Start() CLASS InventoryApp
	cDataPath := GetDefault()
	oMainWindow := StockWindow{SELF}
	oMainWindow:Show(SHOWCENTERED)
	SELF:Exec()
	RETURN NIL

ACCESS DataPath CLASS InventoryApp
	RETURN cDataPath

ASSIGN DataPath(cNewPath) CLASS InventoryApp
	IF Right(cNewPath, 1) != "\"
		cNewPath += "\"
	ENDIF
	cDataPath := cNewPath
	RETURN cDataPath

TEXTBLOCK Read me
	Inventory keeps the stock of the warehouses listed in gaWarehouses.
	Start it with the data folder as the working folder; reports go to
	the printer chosen in the Windows control panel.
