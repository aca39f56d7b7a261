// The game records the protocol carries.
#ifndef QUILLNTC_OBJECTS_GAMEOBJECTS_H
#define QUILLNTC_OBJECTS_GAMEOBJECTS_H

#endif
