// System Classes: the system library the IDE ships; its source is never exported.

DEFINE SHOWCENTERED := 5

CLASS App
	EXPORT hInstance AS PTR

METHOD Exec() CLASS App
	RETURN NIL

METHOD Quit() CLASS App
	RETURN NIL

CLASS ShellWindow
	PROTECT cCaption AS STRING
	PROTECT oOwner AS OBJECT

METHOD Init(oNewOwner) CLASS ShellWindow
	oOwner := oNewOwner
	RETURN SELF

METHOD Show(kShowState) CLASS ShellWindow
	RETURN NIL

ACCESS Caption CLASS ShellWindow
	RETURN cCaption

ASSIGN Caption(cNewCaption) CLASS ShellWindow
	cCaption := cNewCaption
	RETURN cCaption

ASSIGN Menu(xMenu) CLASS ShellWindow
	RETURN xMenu
