#include "transport/CNTBase.h"

CNTBase::CNTBase() : m_MachineID(0) {}
CNTBase::~CNTBase() {}
CNTClient* CNTBase::GetClientFromMachineID(unsigned short) {
    return nullptr;
}
void CNTBase::Disconnect() {}
unsigned long CNTBase::SendToServer(CNTPacket&) {
    return 0;
}
void CNTBase::DropConnection() {
    Disconnect();
}
unsigned long CNTBase::GetConnectionSerial() {
    return 0;
}
