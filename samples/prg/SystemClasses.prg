// System Classes: the system library the IDE ships; its source is never exported.

CLASS App
	EXPORT hInstance AS PTR

METHOD Exec() CLASS App
	RETURN NIL

CLASS ShellWindow
	EXPORT Caption AS STRING

METHOD Show(kShowState) CLASS ShellWindow
	RETURN NIL

DEFINE SHOWCENTERED := 5
