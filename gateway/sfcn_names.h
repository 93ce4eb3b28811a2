/* The module's names, as the host and the messages use them. */
#pragma once

/* The block's own name; a host record made for this module carries it. */
#define S_FUNCTION_NAME "twinvolts"
/* How argument-check messages and obsolete-setter warnings name the module. */
#define SFCN_DISPLAY_NAME "MEX level2 S-function \"twinvolts\""
