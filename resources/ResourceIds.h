#pragma once
// Ids of the program's string table (read with GetResString).
#define IDS_APP_DIR_NAME 0
#define IDS_PRODUCT_NAME 1
#define IDS_PRODUCT_DESCRIPTION 2
#define IDS_LAST_FILE_ID 3
#define IDS_MAIN_EXECUTABLE 4
