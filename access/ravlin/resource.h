// String table of the library (shown with the caption "Zorvane").
#pragma once

#define IDS_UNSUBSCRIBE_QUESTION 30000
#define IDS_INSUFFICIENT_DISK_SPACE 30001
#define IDS_APPROVAL_TITLE 30002
