// The network library of the game client: everything it exports.
#ifndef QUILLNTC_H
#define QUILLNTC_H

#include "NTCExport.h"
#include "transport/CDebug.h"
#include "transport/CFile.h"
#include "transport/CLock.h"
#include "transport/Trace.h"

#endif
