// ThreadSanitizer suppressions of the soak, each with its reason.
//
// race:DeliverCapturedFrame
// race:ConvertCapturedFrame
//   An export, or an automatic white balance (which reads the newest frame the same way), that fell
//   behind by two frames still reading a raw buffer while the simulated camera refills it. The
//   adapter keeps no lock between the camera library and these readers, by design: an export
//   finds out after its read that the buffer may have been refilled and then hands nothing of it
//   over, but the read itself races (and the public header says that an estimate can come from
//   parts of two frames). On ten
//   cameras under ThreadSanitizer on two cores, a reader is sometimes descheduled that long. Only an
//   export's delivery of a captured frame and the estimate's conversion of one are named (the
//   adapter keeps each a function of its own for this): the camera's writes against anything else,
//   a grab's reads included, and every other race in the adapter are still reported.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "race:DeliverCapturedFrame\nrace:ConvertCapturedFrame\n";
}
