/* Calling convention shared by the adapter's exports, the camera libraries and the snap callbacks. */
#ifndef KORVEX_SDK_KX_CALL_H
#define KORVEX_SDK_KX_CALL_H

#ifndef KX_CALL
#if defined(_WIN32) && !defined(_WIN64)
#define KX_CALL __stdcall
#else
#define KX_CALL
#endif
#endif

#endif
