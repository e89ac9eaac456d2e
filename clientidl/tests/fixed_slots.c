/*
 * Vtable positions that our modules call by number on the Zorvane client, or
 * that the client calls by number on our handlers. Moving a member in
 * zorvane.idl breaks this file at compile time instead of breaking a call
 * at run time. Slots count from 0: 0-2 IUnknown, 3-6 IDispatch.
 */

#define CINTERFACE
#define COBJMACROS
#include <stddef.h>
#include <windows.h>
#include <ole2.h>
#include "zorvane.h"

#define SLOT_OF(iface, member) (offsetof(iface##Vtbl, member) / sizeof(void *))
#define SLOT_COUNT(iface) (sizeof(iface##Vtbl) / sizeof(void *))

#define FIXED_SLOTS(X)                                            \
    /* application object */                                      \
    X(IZorvane, get_Channels, 8)                                  \
    X(IZorvane, get_AllVessiks, 9)                                \
    X(IZorvane, get_Setup, 11)                                    \
    X(IZorvane, RegisterNotificationHandler, 12)                  \
    X(IZorvane, RevokeNotificationHandler, 13)                    \
    /* the access library holds IZorvane4: the base slots stay */ \
    X(IZorvane4, get_Channels, 8)                                 \
    X(IZorvane4, get_Setup, 11)                                   \
    X(IZorvane4, RegisterNotificationHandler, 12)                 \
    /* settings */                                                \
    X(IZorvaneSetup, get_General, 7)                              \
    X(IZorvaneSetup, RegisterNotificationHandler, 11)             \
    X(IZorvaneSetup, RevokeNotificationHandler, 12)               \
    X(IZorvaneGeneralSettings, get_DefaultChannelCacheSize, 13)   \
    /* collections */                                             \
    X(IZorvaneChannelCollection, get_Item, 8)                     \
    X(IZorvaneChannelCollection, RegisterNotificationHandler, 10) \
    X(IZorvaneChannelCollection, RevokeNotificationHandler, 11)   \
    X(IZorvaneAllVessikCollection, RegisterNotificationHandler, 10) \
    X(IZorvaneAllVessikCollection, RevokeNotificationHandler, 11) \
    X(IZorvaneVessikCollection, get__NewEnum, 9)                  \
    X(IZorvaneChannelVariableCollection, get_Item, 8)             \
    X(IZorvaneChannelVariable, get_Value, 8)                      \
    X(IZorvaneVessikFileCollection, get_Count, 7)                 \
    /* channel, and the same slots through its derived forms */   \
    X(IZorvaneChannel, get_Name, 7)                               \
    X(IZorvaneChannel, get_Id, 9)                                 \
    X(IZorvaneChannel, get_Flags, 35)                             \
    X(IZorvaneChannel, get_CacheSize, 37)                         \
    X(IZorvaneChannel, get_Vessiks, 49)                           \
    X(IZorvaneChannel, get_Variables, 51)                         \
    X(IZorvaneChannel4_2, get_Name, 7)                            \
    X(IZorvaneChannel4_2, get_Id, 9)                              \
    X(IZorvaneChannel4_2, get_Flags, 35)                          \
    X(IZorvaneChannel4_2, get_Vessiks, 49)                        \
    X(IZorvaneChannel4_2, get_Variables, 51)                      \
    X(IZorvaneChannelReplication, get_ReplicationSource, 77)      \
    /* Vessik */                                                  \
    X(IZorvaneVessik, get_Channel, 8)                             \
    X(IZorvaneVessik, get_Directory, 10)                          \
    X(IZorvaneVessik, get_Size, 39)                               \
    X(IZorvaneVessik3, get_Channel, 8)                            \
    X(IZorvaneVessik3, get_Size, 39)                              \
    X(IZorvaneVessik3, get_Files, 49)                             \
    /* replicator and its working object */                       \
    X(IZorvaneReplicator, get_Replication, 7)                     \
    X(IZorvaneReplication, Attach, 7)                             \
    X(IZorvaneReplication, get_HasDestinations, 8)                \
    X(IZorvaneReplication, get_HasFiles, 9)                       \
    X(IZorvaneReplication, Replicate, 12)                         \
    /* called on our objects */                                   \
    X(IClientExt, Start, 7)                                       \
    X(IAppNotificationHandler, OnShutdown, 7)                     \
    X(ISetupNotificationHandler, OnSetupChanged, 7)               \
    X(IChannelNotificationHandler, OnChannelAdded, 7)             \
    X(IChannelNotificationHandler, OnChannelDeleted, 8)           \
    X(IChannelNotificationHandler, OnChannelChanged, 9)           \
    X(IStoryNotificationHandler, OnStoriesAdded, 7)               \
    X(IStoryNotificationHandler, OnStoriesDeleted, 8)             \
    X(IStoryNotificationHandler, OnStoriesChanged, 9)             \
    X(IDirectoryNotificationHandler, OnEntryAdded, 7)             \
    X(IDirectoryNotificationHandler, OnEntryDeleted, 8)           \
    X(IDirectoryNotificationHandler, OnEntryChanged, 9)           \
    X(IVessikNotificationHandler, OnNewVessik, 7)                 \
    X(IVessikNotificationHandler, OnVessikDeleted, 8)             \
    X(IVessikNotificationHandler, OnVessikChanged, 9)

#define ASSERT_SLOT(iface, member, slot) \
    _Static_assert(SLOT_OF(iface, member) == (slot), #iface " slot " #slot " is " #member);
#define COUNT_SLOT(iface, member, slot) + 1

FIXED_SLOTS(ASSERT_SLOT)

/* The package access call is the first member after IZorvaneVessik's. */
_Static_assert(SLOT_OF(IZorvaneVessik2, Access) == SLOT_COUNT(IZorvaneVessik),
               "IZorvaneVessik2 Access follows IZorvaneVessik");

/* The replication slot sits right after the last IZorvaneChannel4_2 member. */
_Static_assert(SLOT_OF(IZorvaneChannelReplication, get_ReplicationSource)
                   == SLOT_COUNT(IZorvaneChannel4_2),
               "IZorvaneChannelReplication extends IZorvaneChannel4_2");

/* Handlers have exactly the methods the client calls. */
_Static_assert(SLOT_COUNT(IClientExt) == 8, "IClientExt has one method");
_Static_assert(SLOT_COUNT(IAppNotificationHandler) == 8, "one method");
_Static_assert(SLOT_COUNT(ISetupNotificationHandler) == 8, "one method");
_Static_assert(SLOT_COUNT(IChannelNotificationHandler) == 10, "three methods");
_Static_assert(SLOT_COUNT(IStoryNotificationHandler) == 10, "three methods");
_Static_assert(SLOT_COUNT(IDirectoryNotificationHandler) == 10, "three methods");
_Static_assert(SLOT_COUNT(IVessikNotificationHandler) == 10, "three methods");

/* Entries of FIXED_SLOTS; the structural checks above are not counted. */
enum { FIXED_SLOT_COUNT = 0 FIXED_SLOTS(COUNT_SLOT) };

int fixed_slot_count(void)
{
    return FIXED_SLOT_COUNT;
}

/* The same list at run time, to check the type library the marshaler uses. */
#include "fixed_slots.h"
#define SLOT_ENTRY(iface, member, slot) { &IID_##iface, #iface, #member, slot },
const struct fixed_slot fixed_slots[] = { FIXED_SLOTS(SLOT_ENTRY) };
