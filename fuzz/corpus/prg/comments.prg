/*
'quoted' remark
"another */
FUNCTION Seen()
  s := "/* not */" // /* line
RETURN s
	PROCEDURE Tab()x
