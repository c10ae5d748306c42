/*
 * Korvex: one flat C interface to up to ten industrial cameras.
 *
 * A host opens cameras by number, allocates their buffers, runs double-buffered continuous
 * capture and receives frames as 32-bit B,G,R,0 or 8-bit grey pixels (optionally with a red
 * cross-hair). It can grab single frames, set exposure, geometry, gains, converter, trigger and
 * strobe, keep white balance in a settings file, apply gamma and read identification.
 *
 * Conventions that hold for every function below
 * ------------------------------------------------
 * - Device numbers count from 1. Camera n is the n-th camera of the camera library.
 *   Any device number outside 1..10 gives result 0 (false for the three identification
 *   getters) and touches nothing: no message, no camera call, no state change.
 * - Results: 1 means done, 0 means refused or failed. A few functions return -1 for one
 *   particular failure, or a measured value; each says so.
 * - "Requires an open camera": when the camera is not open the library shows the message
 *   "Please open device first!" in a modal box (see Messages), makes no camera call, changes
 *   nothing and returns 0.
 * - Nothing throws across this interface and no error text is kept. A failed camera call only
 *   shapes the result; it is never shown.
 * - Threads: any host thread may call any function. The library takes no lock on its own state
 *   except where a function says so; two host threads working on the same camera at the same time
 *   are the host's to keep apart. Exporting, grabbing and automatic white balance on one camera
 *   share a working buffer and must not run at the same time on that camera. Different cameras
 *   are independent. The colour functions (white balance, table reset, gamma) may run on any
 *   thread while another exports or grabs on the same camera: each frame is converted with one
 *   whole set of tables, the old or the new, and the export takes no lock for it. Each function
 *   below says under "Threads:" which calls may run at the same time as it on the same camera;
 *   "a lifecycle call" is ZqOpenDevice, ZqAllocateResources, ZqCloseDevice or ZqRestatDevice.
 *   The lifecycle calls, ZqStartGrab and ZqStopGrab take turns: called from several threads at
 *   once, each runs whole, one after the other.
 *
 * Camera states
 * -------------
 *   Closed    -> ZqOpenDevice(n)                 -> Open (cameras 1..n)
 *   Open      -> ZqAllocateResources()           -> Allocated (buffers, geometry, colour tables)
 *   Allocated -> ZqStartGrab / ZqStopGrab        -> Capturing / Allocated
 *   Capturing -> ZqStopGrab refused by the camera library -> StopFailed (capture may go on)
 *   any       -> ZqCloseDevice()                 -> Closed (ratios stored, buffers released)
 * Buffers are released only once the camera library has confirmed that nothing writes into them
 * any more (its stop or end call succeeded). Until then the camera keeps them, also through
 * ZqAllocateResources and ZqCloseDevice, and a later ZqStopGrab, ZqCloseDevice, ZqOpenDevice or
 * ZqRestatDevice that gets the confirmation releases them.
 *
 * Unplugged cameras
 * -----------------
 * A camera whose cable is pulled delivers no more frames and the camera library fails every call
 * on its connection; the functions that make one return their failure result (0, or -1 where a
 * function documents it), never success. An export waits for its timeout and returns -1 (with
 * ZqSetTimeout(-1) it waits until a ZqStopGrab or ZqCloseDevice from another thread ends it,
 * result 0). ZqStopGrab returns 0 and the camera keeps its buffers (StopFailed); ZqCloseDevice
 * releases them once the camera library confirms the end, as it does for a pulled camera. Once it
 * is plugged back in, ZqCloseDevice, ZqOpenDevice and ZqAllocateResources bring it back with its
 * frames and its sensor's geometry; ZqRestatDevice alone brings it back without touching the other
 * cameras, keeping its buffers and the geometry the library last set (a replugged camera starts in
 * resolution mode 0, so a host that had chosen another mode sets it again). With KORVEX_LOG
 * (README, "Diagnostic log") each failed camera call and each buffer kept is logged.
 *
 * Messages
 * --------
 * Misuse is reported once, in a modal warning box with an OK button whose caption is the
 * library's file name without folder and extension. The calling thread waits until the box is
 * dismissed. The texts are exactly:
 *   1 "Please open device first!"
 *   2 "Too many device!"
 *   3 "Open device error!"
 *   4 "The device num can't smaller than 1"
 * On Windows this is a MessageBoxA. Elsewhere the program named by the environment variable
 * KORVEX_DIALOG is run with the caption and the text as its two arguments and waited for;
 * without it a desktop dialog is shown where a display and a dialog program exist. Where no
 * dialog could be run, or the dialog program failed (non-zero exit status, killed, no reachable
 * display), the line "Caption: text" goes to standard error instead, so no message is lost.
 *
 * Settings file
 * -------------
 * "Korvex.ini" keeps each camera's white-balance ratios (section "Video Parameter<n-1>",
 * keys RGain, GGain, BGain, values written as "%f"). It is read by ZqOpenDevice and written by
 * ZqCloseDevice only, each reading it once. On Windows it lies where the private-profile service
 * puts a bare name (the Windows folder); elsewhere in $KORVEX_CONFIG_DIR, else $XDG_CONFIG_HOME,
 * else $HOME/.config. Writing replaces the file atomically and keeps every other line of it.
 * Every ZqCloseDevice writes the three keys of every camera it closes, creating the file when
 * absent. A camera whose ratios no ZqAutoWhiteBalance or ZqSetWhiteBalanceRatio of this process
 * changed since they were read (or last stored) gets the ratios the file holds at that moment, so
 * a program that changed nothing never undoes what another one stored meanwhile.
 * Elsewhere than on Windows:
 * - ZqCloseDevice stores all cameras' ratios in one replacement, flushed to disk together with its
 *   folder; a Korvex.ini that is a symbolic link keeps being one (its target is updated); a UTF-8
 *   byte-order mark at the start is read past and kept; programs writing the file at the same
 *   time take turns, and a writer killed mid-write leaves the old file whole and no temporary
 *   file behind for longer than until the next write;
 * - only a regular file of at most 64 MiB is read or replaced, opened so that opening never
 *   waits: anything else (a FIFO, a device or a link to one, a folder, a larger file) is refused
 *   with one line on standard error naming the file and the reason; its ratios then read as
 *   missing, and a close leaves it as it is.
 *
 * Diagnostic log
 * --------------
 * Off unless the environment variable KORVEX_LOG asks for it: a level (error, warn, info, debug,
 * trace) for all domains, or comma-separated "domain:level" entries with "*" for the rest, e.g.
 * "capture:trace,settings:debug,*:warn". Domains: lifecycle, guard, camera, capture, export,
 * colour, settings, message, control, log. Lines go to standard error, or are appended to the file
 * named by KORVEX_LOG_FILE. Both variables are read once, during the first call that could log,
 * never at load. Each line carries wall time (UTC, ms), a monotonic time, the thread, the level,
 * the domain, "camera N:" where there is one, and one sentence; lines written by several threads
 * at once stay whole. An entry of KORVEX_LOG that is not understood is skipped and named in a warning
 * line; a file that cannot be opened (a FIFO with no reader too) sends the lines to standard error,
 * after a line saying why. The first line names the adapter's version and file, the camera
 * libraries loaded and KORVEX_LOG. No thread ever waits for the log's reader: a line that a stalled
 * pipe cannot take at once is dropped and counted, and the next line written says how many.
 * The log never changes a result; with it off, each point that could log costs one memory read.
 */
#ifndef KORVEX_H
#define KORVEX_H

#include <stdint.h>

/* KX_CALL, the calling convention of every function below (__stdcall on 32-bit Windows), is the
 * camera libraries' own; kx_call.h is installed beside this header. */
#include "kx_call.h"

#ifndef KX_API
#if defined(_WIN32)
#define KX_API
#else
#define KX_API __attribute__((visibility("default")))
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ======================================================================================== */
/* Lifecycle                                                                                 */
/* ======================================================================================== */

/* Opens cameras 1..count and reads their white-balance ratios from the settings file.
 * count < 1: message 4, result 0, nothing changed. count > 10: message 2, result 0, nothing
 * changed. Otherwise every camera's handle is forgotten first (buffers are kept; call
 * ZqCloseDevice before opening again; a camera still capturing is stopped first, since its
 * capture could not be stopped once its connection is forgotten), then cameras 1..count are
 * begun in order. If one fails:
 * message 3, result 0; the cameras before it stay open, the device total used by allocation and
 * closing keeps its earlier value and no ratios are read. Success: result 1.
 * A stored ratio that is missing, empty, not a number or 0 is read as 1.0.
 * Threads: no call on any camera but another lifecycle call, ZqStartGrab or ZqStopGrab (which
 * take turns with it) should run meanwhile: it replaces every camera's connection. */
KX_API int16_t KX_CALL ZqOpenDevice(int16_t count);

/* Gives each opened camera (1..the count of the last successful ZqOpenDevice, 1 before any)
 * its geometry, two raw frame buffers and a working buffer, all filled with 0x80, and its colour
 * tables built from its ratios (all three ratios become 1.0 if any of them is 0). The camera is
 * put in mode 0 of its resolution list, whose entry becomes the geometry the library reports, and
 * the buffers hold the largest mode of the list, wherever the list puts it, so that any mode
 * fits them. Result 1 when every camera is done. A camera that refuses mode 0: result 0 at once,
 * that camera keeps its earlier buffers and geometry, later cameras untouched.
 * A camera that is not open: message 1 and result 0 at once; earlier cameras keep what this call
 * gave them, later ones are not touched.
 * A resolution list that cannot be read or is empty, or memory that runs out: result 0 at once,
 * that camera keeps its earlier buffers (or none) and its geometry, later cameras untouched.
 * Calling it again releases a camera's earlier buffers and allocates fresh ones, except on a
 * camera that is capturing, or whose stop or end the camera library refused: it may write into
 * its buffers, so they are kept (their content too) and only geometry, ratios and tables are set
 * again; if the camera's largest mode no longer fits them the result is 0.
 * Threads: exports and grabs running meanwhile finish with the buffers they started with before
 * these are released; no other call on the cameras it allocates should run meanwhile, but
 * another lifecycle call, ZqStartGrab or ZqStopGrab, which take turns with it. */
KX_API int16_t KX_CALL ZqAllocateResources(void);

/* Writes every opened camera's ratios to the settings file (elsewhere than on Windows not at all
 * when each stored text already reads as its ratio; see Settings file), wakes any export waiting on those
 * cameras, ends them and releases their buffers. Always returns 1, also when nothing is open
 * (a camera whose ratios were never read, as before any open or after a failed one, is not
 * written, so the stored ratios stay as they are) and when the file
 * cannot be written (the file then keeps its earlier content). It does not stop capture: call
 * ZqStopGrab first. An export woken by it returns 0 without writing (see ZqExportImageData).
 * A capturing camera whose end the camera library refuses keeps its buffers, since it may still
 * write into them; the next ZqCloseDevice (or ZqOpenDevice, ZqRestatDevice) ends that
 * connection again and releases them once the end succeeds.
 * Threads: any call may run meanwhile. Exports on any camera: a waiting one wakes and returns 0,
 * one that is delivering a frame finishes it before the buffers are released. Other calls find
 * the cameras open or closed, as the close has got to them. */
KX_API int16_t KX_CALL ZqCloseDevice(void);

/* Ends and begins one camera's connection again, keeping its buffers, ratios, tables and
 * geometry; no camera setting is sent again. Capture does not survive it: ending the connection
 * ends the camera's capture, and the camera comes back allocated, not capturing. It delivers no
 * frame until the host calls ZqStartGrab again; until then an export does not wait and returns
 * at once the newest frame held from before the restart, the same frame each time. No open test,
 * no message. Result 1 when the camera began again, else 0 (the camera then counts as closed).
 * Threads: takes turns with the other lifecycle calls, ZqStartGrab and ZqStopGrab; an export
 * waiting on this camera is woken and returns 0 without writing. */
KX_API int16_t KX_CALL ZqRestatDevice(int16_t device);

/* The number of cameras the camera library sees (low 16 bits), or -1 when it cannot tell.
 * Needs no open camera. Threads: any time. */
KX_API int16_t KX_CALL ZqGetDeviceTotal(void);

/* ======================================================================================== */
/* Continuous capture                                                                        */
/* ======================================================================================== */

/* Starts continuous capture into the camera's two raw buffers. Requires an open camera.
 * Result 1 when capture started. 0 when the camera library refused the frame callback: then
 * nothing is started and the camera stays as it was. 0 when it refused the start itself: the
 * camera counts as capturing until ZqStopGrab (its buffers stay guarded; exports wait their full
 * timeout). A camera without buffers (never allocated, or closed) gives 0 with no camera call,
 * since frames would have nowhere to go. Each camera has one frame event for the library's
 * whole life; frames that arrived before the start are not waited for.
 * Threads: takes turns with the lifecycle calls, ZqStopGrab and ZqGrabSingle. Exports may run
 * meanwhile; on a camera already capturing, an export waiting on it is woken and returns 0 without writing. */
KX_API int16_t KX_CALL ZqStartGrab(int16_t device);

/* Stops continuous capture. Requires an open camera. Result 1 when the camera library stopped
 * capture. 0 when it refused: the capture may go on, so the camera keeps its buffers (state
 * StopFailed) and exports return the newest buffer without waiting; a later ZqStopGrab that
 * succeeds confirms the stop.
 * Threads: takes turns with the lifecycle calls and ZqStartGrab. Exports may run meanwhile: one
 * waiting on this camera is woken and returns 0 without writing. */
KX_API int16_t KX_CALL ZqStopGrab(int16_t device);

/* Sets how long ZqExportImageData waits for a frame, for all cameras. Always 1.
 * 0 = do not wait, 1..32767 = milliseconds, -1 = wait without limit, any other negative v =
 * 4294967296 + v milliseconds. Default 5000. Takes effect at the next export; an export already
 * waiting keeps the timeout it started with. Threads: any time. */
KX_API int16_t KX_CALL ZqSetTimeout(int16_t milliseconds);

/* ======================================================================================== */
/* Frame delivery                                                                            */
/* ======================================================================================== */

/* Waits up to the timeout for the camera's next frame and writes the newest frame into
 * destination, row 0 first, rows of width pixels with no padding. No open test.
 * colour == 1: 4 bytes per pixel, B, G, R, 0, demosaiced with layout (codes 1..4; any other
 * code is used as 1) through the camera's colour tables. Any other colour value: 1 byte of grey
 * per pixel. With the cross-hair enabled, both come out as 4 bytes per pixel (grey as v,v,v,0)
 * with the cross in red (0,0,255,0). Exactly width*height pixels are written, nothing beyond.
 * The output format is fixed when the call begins: whether the cross-hair is on, and where, is
 * read then, so a ZqEnableCross or ZqSetCrossPara while this export waits applies to the next
 * export (a grey export stays 1 byte per pixel). The destination must hold width*height*4 bytes
 * for colour or when the cross-hair was on as the call began, width*height bytes otherwise.
 * Results: 1 a whole frame was written; -1 no frame came within the timeout (nothing written or
 * recorded), or no frame taken stayed whole while it was read (see below; the destination may
 * then hold parts of frames, and the export is recorded); 0 refused with nothing written and no
 * wait: width or height negative, width*height more than the camera's buffers hold, destination
 * null, a camera without buffers (never allocated, or closed), or a camera closed by
 * ZqCloseDevice while this export waited;
 * also 0 with nothing written when the converter library refuses the frame.
 * A width or height of 0 writes nothing and returns 1. A camera that is not capturing is
 * exported at once from the newest buffer it holds. While capture runs, each export that returns
 * 1 delivers a frame newer than the one the previous export of this camera delivered: the frame
 * it takes and the buffer it reads are one decision. A host that exports slower than the camera
 * skips frames; it never receives one twice. The size, height and layout of each export
 * that passed its wait are recorded for ZqAutoWhiteBalance. Allocates no memory.
 * The frame is read from the raw buffer the camera filled last. While capture goes on, the
 * camera writes the next frame into its other buffer and may then begin to refill this one with
 * the frame after that. An export that is still reading when the next frame arrives may so have
 * read rows of two frames, and never hands such a frame over: it takes the newest frame and
 * reads again, up to four frames in all, each counted as taken (the next export waits for a
 * newer one). When every one of them may have been refilled while it was read, the result is -1,
 * as for a frame that did not come in time, and the log says why (a warning of domain export).
 * This happens only to an export slower than the camera's frame interval: export at least as
 * fast as frames come, or use a triggered snap mode (each ZqTriggerShot releases one frame, which
 * stays whole until the next trigger), or ZqGrabSingle on a camera that is not capturing.
 * Threads: not at the same time as another export, ZqGrabSingle or ZqAutoWhiteBalance on this
 * camera (they share its working buffer and the recorded export). Any other call may run
 * meanwhile: ZqStopGrab, ZqCloseDevice, ZqRestatDevice and a second ZqStartGrab wake a waiting
 * export, which returns 0; a release of the buffers waits until the export is done with them;
 * the colour functions change the tables between frames (each frame is converted with the old or
 * the new tables, never a mix); camera settings change the frames the camera delivers next. */
KX_API int16_t KX_CALL ZqExportImageData(int16_t device, uint8_t* destination, int16_t width, int16_t height,
                                         int16_t colour, int16_t layout);

/* Takes one frame into the camera's first raw buffer and writes it like an export without the
 * cross-hair (colour == 1: B,G,R,0 demosaiced with layout 1..4, not clamped; otherwise grey).
 * Requires an open camera. A camera that is capturing, or whose stop the camera library refused,
 * gives 0 with nothing written and no camera call: its capture refills the first raw buffer, so
 * the grabbed frame could not be whole. Stop capture first, or export in a triggered snap mode.
 * Result 1 when the snap succeeded; 0 when it failed, in which case the destination still
 * receives what the first raw buffer held. Refused with 0, nothing written and
 * no camera call: negative width or height, width*height beyond the buffers, null destination, a
 * camera without buffers, or colour == 1 with a layout outside 1..4. 0 with nothing written when
 * the converter library refuses the frame. Records no export geometry.
 * Threads: not at the same time as an export, another grab or ZqAutoWhiteBalance on this camera.
 * It takes turns with the lifecycle calls, ZqStartGrab and ZqStopGrab on this camera (a start
 * waits until the grab is done); other calls as for ZqExportImageData. */
KX_API int16_t KX_CALL ZqGrabSingle(int16_t device, uint8_t* destination, int16_t width, int16_t height, int16_t colour,
                                    int16_t layout);

/* ======================================================================================== */
/* Cross-hair (one for all cameras; the device argument is ignored, no open test)            */
/* ======================================================================================== */

/* flag 1 switches the cross-hair on and returns 0; flag 0 switches it off and returns 1; any
 * other flag changes nothing and returns 0. Threads: any time; exports take the switch once per
 * frame. */
KX_API int16_t KX_CALL ZqEnableCross(int16_t device, int16_t flag);

/* Sets the cross-hair's bounding box (left column x, top row y, width, height, in output pixels
 * counted from 0) and the thickness of both bars. Every value is stored as given, negatives
 * included; parts outside a frame are not drawn; a thickness <= 0 draws nothing. Always 1.
 * Threads: any time. Each value is stored on its own, so an export running meanwhile may draw a
 * box of earlier and new values mixed; the exports after it draw the new one. */
KX_API int16_t KX_CALL ZqSetCrossPara(int16_t device, int16_t x, int16_t y, int16_t width, int16_t height,
                                      int16_t thickness);

/* ======================================================================================== */
/* Colour                                                                                    */
/* ======================================================================================== */

/* Estimates the three white-balance ratios from the newest raw frame, converted with identity
 * tables at the size and layout of the camera's latest export, and rebuilds all three colour
 * tables from them. No open test. Result 1 when new ratios were estimated. Result 0, with the
 * ratios and the tables left exactly as they were: a camera without buffers, before its first
 * export, the latest export's size no longer fitting its buffers, or an estimate that fails (the
 * converter library refuses, or gives a ratio that is not a positive finite number, as for a black
 * or saturated frame).
 * While capture runs the estimate reads the newest frame without the check an export makes (see
 * ZqExportImageData), so an estimate that takes longer than a frame interval may come from parts
 * of two frames.
 * Threads: not at the same time as an export or ZqGrabSingle on this camera (it reads the
 * recorded export and uses the working buffer), nor ZqSetResolution or ZqSetAOI (it reads the
 * camera's frame size). Another colour function on this camera waits for this one's change to
 * end; a release of the buffers waits until the estimate is done with them. */
KX_API int16_t KX_CALL ZqAutoWhiteBalance(int16_t device);

/* Sets the blue and red ratios by hand, in hundredths (blue first): ratio = value * 0.01.
 * Rebuilds the red and blue tables; green is untouched. Requires an open camera. Result 1.
 * Threads: exports and grabs on this camera may run meanwhile, and other colour functions (the
 * changes take turns); not a lifecycle call. */
KX_API int16_t KX_CALL ZqSetWhiteBalanceRatio(int16_t device, int16_t blue, int16_t red);

/* Makes all three colour tables the identity; the ratios stay. No open test; always 1.
 * Threads: as ZqSetWhiteBalanceRatio. */
KX_API int16_t KX_CALL ZqResetLutTable(int16_t device);

/* Fills all three colour tables with a gamma curve of value / 10 (integer quotient: 15 gives
 * 1.0; 1..9 give 0.0, which yields the identity table). No open test. value outside 1..100, or
 * the converter library refusing a table: result 0, nothing changed. Otherwise 1.
 * Threads: as ZqSetWhiteBalanceRatio. */
KX_API int16_t KX_CALL ZqSetGamma(int16_t device, int16_t value);

/* ======================================================================================== */
/* Exposure                                                                                  */
/* ======================================================================================== */

/* Sets the exposure time: unit 0 = microseconds, 1 = milliseconds, 2 = seconds. Requires an open
 * camera. SV-series cameras receive unit and value as given. Other cameras receive the time as a
 * count of row periods (24 MHz clock, a row length chosen by camera family from the current row
 * width), clamped to 1..16383 (1..1048575 for HV30xx/31xx families).
 * Result 1 when the camera accepted the exposure, else 0. For these row-counting cameras a unit
 * other than 0, 1 or 2 gives 0 with no exposure sent; times beyond the 32-bit clock count
 * (2 s units from 90 up) are computed without overflow and clamped to the upper limit. If the
 * camera type cannot be read, result 0 and nothing is sent.
 * Threads: exports may run meanwhile; not ZqSetResolution, ZqSetAOI or a lifecycle call on this
 * camera (the row length comes from the current geometry). */
KX_API int16_t KX_CALL ZqSetShutter(int16_t device, int16_t unit, int16_t value);

/* ======================================================================================== */
/* Resolution and output window                                                              */
/* ======================================================================================== */

/* Selects entry mode of the camera's resolution list. Requires an open camera. The camera's row
 * width, height and mode are set to that entry even when the camera refuses it (result 0).
 * Result 1 when the camera accepted. A mode outside the list, a list that cannot be read, or
 * an entry whose frame would not fit the camera's buffers: result 0, no mode sent, nothing
 * changed.
 * Threads: exports may run meanwhile; frames of the new size follow, and what an export writes
 * is always the width and height it is given. Not at the same time as the other geometry
 * functions, ZqSetShutter, ZqAutoWhiteBalance or a lifecycle call on this camera. */
KX_API int16_t KX_CALL ZqSetResolution(int16_t device, int16_t mode);

/* Sets the camera's output window. Requires an open camera. The window width becomes the row
 * width used by ZqSetShutter (even when the camera refuses). Result 1 on success, otherwise the
 * camera's status in 16 bits (which may itself read 0 or 1). A window with a negative size or
 * one whose frame would not fit the camera's buffers: result 0, nothing sent or changed.
 * Threads: as ZqSetResolution. */
KX_API int16_t KX_CALL ZqSetAOI(int16_t device, int16_t left, int16_t top, int16_t width, int16_t height);

/* The width of the camera's current resolution entry (not the window), in 16 bits. Requires an
 * open camera. -1 when the list cannot be read or the current mode lies outside it.
 * Threads: any time but during ZqSetResolution or a lifecycle call on this camera. */
KX_API int16_t KX_CALL ZqGetImageWidth(int16_t device);

/* The height of the camera's current resolution entry, in 16 bits. Requires an open camera.
 * -1 when the list cannot be read or the current mode lies outside it.
 * Threads: as ZqGetImageWidth. */
KX_API int16_t KX_CALL ZqGetImageHeight(int16_t device);

/* ======================================================================================== */
/* Gain, converter, timing and trigger. All but ZqSetBlanking require an open camera.       */
/* ======================================================================================== */

/* The values below pass to the camera unchanged; the camera defines their ranges and refuses
 * others (result 0). The ranges, defaults and effects given are the simulated cameras'.
 * Threads (every function of this group): any time but during a lifecycle call on this camera;
 * exports may run meanwhile, and the frames the camera delivers next show the change. */

/* mode 0: sends value as the gain of all four channels (codes 16..19 in order); result from
 * the last one. Any other mode: sends nothing, result 1. value: gain register 0..255, default
 * 16; a pixel's brightness scales by (32 + value) / 48. */
KX_API int16_t KX_CALL ZqSetGain(int16_t device, int16_t mode, int16_t value);
/* Gain of one channel (code 16 + channel, in 8 bits). Result 1 when accepted. Channels 0..3
 * (codes 16..19) are, on a colour sensor, red, green beside red, green beside blue and blue; on a
 * monochrome sensor the four pixels of each 2 x 2 cell in the same order. Other channels give
 * codes the camera refuses. value as for ZqSetGain. */
KX_API int16_t KX_CALL ZqSetChannelGain(int16_t device, int16_t channel, int16_t value);
/* Converter level: a black offset of 0..15 steps, each adding 4 to every raw pixel value;
 * default 0. Result 1 when accepted. */
KX_API int16_t KX_CALL ZqSetADCLevel(int16_t device, int16_t level);
/* Converter enable: flag 1 enables, anything else disables (the default). The per-channel
 * value of ZqSetADCValue applies only while enabled. Result 1 when accepted. */
KX_API int16_t KX_CALL ZqEnableADC(int16_t device, int16_t flag);
/* Converter value -255..264 for all four channels (codes 16..19); result from the last. While
 * the converter is enabled each pixel gains value / 4. Outside the range: 0, nothing sent, no
 * message (the open test still comes first). */
KX_API int16_t KX_CALL ZqSetADCValue(int16_t device, int16_t value);
/* Blanking: first in pixel clocks added to every row, second in rows added to every frame,
 * 0..4095 each, default 0. They lengthen the readout, (window height + second) x (row length +
 * first) / 24 MHz with the row length in pixel clocks from the camera family and window width,
 * and so the frame interval where the readout is longer than the exposure. No open test: a camera that is not open is
 * passed handle 0 and the camera library's refusal gives 0. Result 1 when accepted. */
KX_API int16_t KX_CALL ZqSetBlanking(int16_t device, int16_t first, int16_t second);
/* Snap mode: 0 continuous (free-running, the default); 1, 2 and 3 triggered, where each
 * ZqTriggerShot releases one frame (the simulated cameras treat the three alike); other modes
 * are refused. Result 1 when accepted. */
KX_API int16_t KX_CALL ZqSetSnapMode(int16_t device, int16_t mode);
/* Snap speed, trigger polarity, strobe polarity: a non-zero flag sends 1, zero sends 0.
 * Result 1 whatever the camera answers. */
KX_API int16_t KX_CALL ZqSetSnapSpeed(int16_t device, int16_t flag);
KX_API int16_t KX_CALL ZqSetTriggerPolarity(int16_t device, int16_t flag);
KX_API int16_t KX_CALL ZqSetStrobePolarity(int16_t device, int16_t flag);
/* Software trigger: releases one frame in triggered mode. Result 1 when accepted; refused
 * while the camera is not capturing or is in continuous mode.
 * Also exported as ZqSetTrigerShot, the same function. */
KX_API int16_t KX_CALL ZqTriggerShot(int16_t device);
KX_API int16_t KX_CALL ZqSetTrigerShot(int16_t device);

/* ======================================================================================== */
/* Identification and status                                                                 */
/* ======================================================================================== */

/* Threads (every function of this group): any time but during a lifecycle call on this camera. */

/* Writes exactly 10 bytes: the model name, zero-padded, or ten zero bytes for a type without a
 * name or when the type cannot be read. Requires an open camera (then nothing is written).
 * Returns 1 when the camera answered the query, else 0 (the 10 bytes are written either way).
 * buffer null: 0, nothing written. */
KX_API uint8_t KX_CALL ZqGetDeviceType(int16_t device, uint8_t* buffer);
/* Writes exactly 30 bytes: the serial-number text, zero-padded, not terminated when it has 30
 * characters or more (serials of any length up to 64 KiB give their first 30 bytes). Otherwise as
 * ZqGetDeviceType. */
KX_API uint8_t KX_CALL ZqGetDeviceSeriesNum(int16_t device, uint8_t* buffer);
/* Writes exactly 10 bytes: the hardware version as decimal text ("-" first when negative),
 * zero-padded, cut at 10 bytes. "0" when the camera did not answer. Otherwise as
 * ZqGetDeviceType. */
KX_API uint8_t KX_CALL ZqGetHardwareVersion(int16_t device, uint8_t* buffer);
/* The camera's status: 1 good, -1 a fault reported, 0 the query failed. No open test (a camera
 * that is not open is queried with handle 0). */
KX_API int16_t KX_CALL ZqGetLastStatus(int16_t device);

#ifdef __cplusplus
}
#endif

#endif /* KORVEX_H */
