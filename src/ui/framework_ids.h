// String-table ids of the framework's own texts: the file errors ("%1" is
// the path), the failed command and the lack of memory. The texts live in the resource script
// with every other string (res/tallivo.rc, through res/resource.h); the ids
// are the framework's, so that it needs nothing from res/. Plain #defines:
// the resource compiler reads this file too.
#pragma once

#define IDS_FILE_GENERIC        61857
#define IDS_FILE_NOT_FOUND      61858
#define IDS_FILE_BAD_PATH       61859
#define IDS_FILE_TOO_MANY_OPEN  61860
#define IDS_FILE_ACCESS_DENIED  61861
#define IDS_FILE_DIRECTORY_FULL 61864
#define IDS_FILE_HARD_IO        61866
#define IDS_FILE_SHARING        61867
#define IDS_FILE_LOCK           61868
#define IDS_FILE_DISK_FULL      61869
#define IDS_COMMAND_FAILED      61705
#define IDS_OUT_OF_MEMORY       61706
