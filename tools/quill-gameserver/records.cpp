#include "records.h"

#include <vector>

#include "objects/GameObjects.h"
#include "transport/CNTPacket.h"
#include "transport/COLEDateTime.h"

namespace gameserver {

namespace {

typedef unsigned short u16;

void write_dr_vector(CNTPacket& packet, float x, float z) {
    packet << x << z << 0.0f << 0.0f; // position, heading, speed
}

struct Item {
    short index;
    long id;
    short option;
    long count;
};

struct Skill {
    short index;
    long id;
    long exp;
};

const Item kItems[] = {{1, 110001, 0, 1}, {2, 210003, 1, 1}, {1001, 500001, 0, 20}};
const Skill kSkills[] = {{0, 1001, 0}, {1, 2004, 150}};

} // namespace

void write_avatar(CNTPacket& packet, const Avatar& avatar) {
    packet << static_cast<short>(0)                       // joined session
           << avatar.id << static_cast<short>(1)         // id, zone
           << avatar.index << avatar.templateID;
    write_dr_vector(packet, 100.0f + avatar.index * 5.0f, 200.0f);
    packet << static_cast<short>(0) << avatar.nickname.c_str() << false;
    // Eleven appearance values; the eleventh is the weapon's item id.
    packet << static_cast<short>(11);
    for (int i = 1; i <= 11; ++i)
        packet << static_cast<int>(i == 11 ? 110001 : 0);
}

void write_priv_data(CNTPacket& packet, const Avatar& avatar) {
    packet << static_cast<short>(3); // points to distribute
    for (int i = 0; i < 6; ++i)      // six base attributes
        packet << static_cast<float>(10 + avatar.level + i);
    packet << static_cast<short>(1) << static_cast<short>(1) << static_cast<short>(1);
    packet << 120.0f << 80.0f << 60.0f; // hit, magic, stamina points
    packet << avatar.level << static_cast<int>(avatar.level * 1000)
           << static_cast<int>(5000); // level, experience, gold
    packet << static_cast<short>(1) << static_cast<short>(4); // weapon, inventory slots
    packet << COLEDateTime();                                  // no deletion date
    for (int group = 0; group < 4; ++group)
        packet << static_cast<short>(group == 0 ? 0 : -1);
}

void write_inventory(CNTPacket& packet, const Avatar& avatar) {
    short temp = 1;
    std::vector<TItem> items;
    for (const Item& each : kItems) {
        TItem item;
        item.SetAvatarIndex(avatar.index);
        item.SetItemIndex(each.index);
        item.SetItemID(each.id);
        item.SetItemOptionID(each.option);
        item.SetTempUUID(temp++);
        item.SetItemCount(each.count);
        items.push_back(item);
    }
    std::vector<TSkill> skills;
    for (const Skill& each : kSkills) {
        TSkill skill;
        skill.SetAvatarIndex(avatar.index);
        skill.SetSkillIndex(each.index);
        skill.SetSkillID(each.id);
        skill.SetSkillExp(each.exp);
        skill.SetTempUUID(temp++);
        skills.push_back(skill);
    }
    packet << static_cast<u16>(items.size());
    for (const TItem& item : items)
        packet << item;
    packet << static_cast<u16>(skills.size());
    for (const TSkill& skill : skills)
        packet << skill;
}

void write_empty_reply_fields(CNTPacket& packet, unsigned short request) {
    switch (request) {
    case 1012: // a position
        packet << 0.0f << 0.0f;
        break;
    case 2021: // the upgraded item
        packet << static_cast<int>(0);
        break;
    case 9001: // zone and position
        packet << static_cast<short>(0) << 0.0f << 0.0f;
        break;
    case 9006: { // an avatar and its statistics
        Avatar nobody;
        write_avatar(packet, nobody);
        write_priv_data(packet, nobody);
        break;
    }
    case 9011: // an item
        packet << TItem();
        break;
    default: // 1005, 1015: the result alone
        break;
    }
}

} // namespace gameserver
