// ThreadSanitizer suppressions of the soak program, each with its reason.
//
// race:DeliverCapturedFrame
//   An export that fell behind by two frames still reading a raw buffer while the simulated camera
//   refills it. The adapter keeps no lock between the camera library and exports, by design: the
//   double buffer and the newest-buffer index make this rare, and the public header says an export
//   slower than the frame rate can deliver a torn frame. On ten cameras under ThreadSanitizer on
//   two cores an exporter is sometimes descheduled that long. Only an export's delivery of a
//   captured frame is named (the adapter keeps it a function of its own for this): the camera's
//   writes against anything else, a grab's included, and every other race in the adapter are
//   still reported.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "race:DeliverCapturedFrame\n";
}
