// ThreadSanitizer suppressions of the soak program, each with its reason.
//
// race:hvsim::FrameRenderer::Render
//   The simulated camera refilling a raw buffer while an export that fell behind by two frames
//   still reads it. The adapter keeps no lock between the camera library and exports, by design:
//   the double buffer and the newest-buffer index make this rare, and the public header says an
//   export slower than the frame rate can deliver a torn frame. On ten cameras under
//   ThreadSanitizer on two cores an exporter is sometimes descheduled that long. Only the camera's
//   own frame writes are covered; every race inside the adapter is still reported.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
    return "race:hvsim::FrameRenderer::Render\n";
}
