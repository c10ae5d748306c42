// ZqSetTrigerShot is a second name of ZqTriggerShot: on ELF, an alias of the same function.
// (Windows gets the second name from the module definition file.)
#include "korvex.h"

extern "C" KX_API int16_t KX_CALL ZqSetTrigerShot(int16_t device) __attribute__((alias("ZqTriggerShot")));
