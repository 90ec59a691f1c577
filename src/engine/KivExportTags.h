#pragma once

// The record kinds moved down to the export-file readers, which the engine builds on.
#include "exportfiles/KivExportTags.h"
