#pragma once

// Resource numbers shared by the resource script and the code.

#define YG_IDI_PANEL 1
// The ten stroke pictures: YG_IDB_STROKE_BASE + the picture's number (1 = H normal ... 10 = L pressed).
#define YG_IDB_STROKE_BASE 100

// Child windows are numbered from here, in the order of the layout table.
#define YG_FIRST_CONTROL_ID 1000
