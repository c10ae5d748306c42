// The camera library's 20 operations as libhvsim implements them, generated from their one list.
// libHVDAILT's exported functions forward one to one to the exported entry points here,
// hvsim_sdk_<operation>, which take the arguments and give the results of HVDAILT.h, use the
// platform's default calling convention and let no exception out (a call that cannot be
// completed returns HVSIM_STATUS_FAULT). Behind them, hvsim::operations::<operation> does the work.
#pragma once

#include "hvsim_control.h"

namespace hvsim::operations {

#define HVSIM_DECLARE_OPERATION(returnType, name, ...) \
    returnType name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__));
HVDAILT_OPERATIONS(HVSIM_DECLARE_OPERATION)
#undef HVSIM_DECLARE_OPERATION

}  // namespace hvsim::operations

extern "C" {

#define HVSIM_DECLARE_ENTRY(returnType, name, ...) \
    HVSIM_API returnType hvsim_sdk_##name(HVDAILT_MAP(HVDAILT_PARAMETER_DECLARATION, __VA_ARGS__));
HVDAILT_OPERATIONS(HVSIM_DECLARE_ENTRY)
#undef HVSIM_DECLARE_ENTRY

}  // extern "C"
