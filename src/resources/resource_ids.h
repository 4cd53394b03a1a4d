// Identifiers of the program's resources.
#pragma once

#define IDS_SAVER_NAME 1
#define IDI_VORN 1
#define IDB_SPRITE_SHEET 101
