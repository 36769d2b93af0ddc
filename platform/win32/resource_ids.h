#pragma once

// Resource numbers shared by the resource script and the code.

#define YG_IDI_PANEL 1

// Child windows are numbered from here, in the order of the layout table.
#define YG_FIRST_CONTROL_ID 1000
