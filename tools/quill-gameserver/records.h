// The wire forms of the records the server sends, written field by field
// with the packet's stream operators in the order the client reads them.
#ifndef QUILL_TOOLS_GAMESERVER_RECORDS_H
#define QUILL_TOOLS_GAMESERVER_RECORDS_H

#include "game_server.h"

class CNTPacket;

namespace gameserver {

// TAvatar: session, id, zone, index, template, movement, animation,
// nickname, transparency, appearance.
void write_avatar(CNTPacket& packet, const Avatar& avatar);
// TPrivData: the own avatar's statistics.
void write_priv_data(CNTPacket& packet, const Avatar& avatar);
// The try-on-session reply's lists: the avatar's items, then its skills.
void write_inventory(CNTPacket& packet, const Avatar& avatar);
// The fields a reply carries before its result, all empty.
void write_empty_reply_fields(CNTPacket& packet, unsigned short request);

} // namespace gameserver

#endif
