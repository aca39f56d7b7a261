#include "protocol/CNTStub.h"

CNTStub::CNTStub() {}
CNTStub::~CNTStub() {}

CNTStub_GSToCL::CNTStub_GSToCL() {}
CNTStub_GSToCL::~CNTStub_GSToCL() {}
