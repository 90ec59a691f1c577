#pragma once

class ExportAsPrg;
class QCheckBox;

// Makes the export folder dialog the one of the module export: captioned "Export Modules", with
// a box for the PRG files (oDCPrgChk) where "Abort On Error" stands, which this export does not
// have. Returns the box.
QCheckBox* KivMakeExportModules(ExportAsPrg& dialog);
