// Header
#include "x.vh"
/* FUNCTION Hidden() */
FUNCTION Zeta(a, ; // first
   b)
RETURN a
static proc Alpha()
CLASS Win INHERIT Window
METHOD Init() CLASS Win
RETURN SELF
ACCESS Name CLASS Win
HIDDEN METH X()
_DLL FUNC Y() AS VOID PASCAL:K.Y
DEFINE A := 1
GLOBAL DIM g[3]
TEXTBLOCK T
