// The network library of the game client: everything it exports.
#ifndef QUILLNTC_H
#define QUILLNTC_H

#include "NTCExport.h"
#include "transport/CDebug.h"
#include "transport/CFile.h"
#include "objects/CDRVector.h"
#include "objects/CNTVector.h"
#include "objects/GameObjects.h"
#include "objects/TPrivData.h"
#include "protocol/CNestedReply.h"
#include "protocol/CNTMainClient.h"
#include "protocol/CNTProxy.h"
#include "protocol/CNTProxy_CLToGS.h"
#include "protocol/CNTStub.h"
#include "protocol/CWizCharString.h"
#include "transport/CLock.h"
#include "transport/CNTBase.h"
#include "transport/CNTBaseClient.h"
#include "transport/CNetClientIO.h"
#include "transport/CNetIO.h"
#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"
#include "transport/COLEVariant.h"
#include "transport/CPropCollection.h"
#include "transport/CString.h"
#include "transport/Trace.h"
#include "transport/VariantT.h"

#endif
