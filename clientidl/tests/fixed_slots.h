/* The fixed vtable slots of the client's interfaces, listed once in fixed_slots.c. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

struct fixed_slot {
    const IID *iid;
    const char *interface_name;
    const char *member; /* as in the header: get_Name, put_Name or Method */
    int slot;
};

int fixed_slot_count(void);
extern const struct fixed_slot fixed_slots[];

#ifdef __cplusplus
}
#endif
