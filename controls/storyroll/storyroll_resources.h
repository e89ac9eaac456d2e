// Resource ids of the Storyroll module.
#pragma once

#define IDD_ABOUTBOX_STORYROLL 100
#define IDB_COLUMN_IMAGES 129
