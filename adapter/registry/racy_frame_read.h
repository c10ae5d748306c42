// A read of a raw buffer that the camera may refill at the same moment, on purpose.
//
// Capture keeps no lock between the camera library, which writes a frame into a raw buffer, and a
// late export or white-balance estimate that reads it: the reader finds out afterwards whether the
// camera may have begun to refill that buffer (slot_event.h) and then uses nothing it read. The read
// itself still races with the camera's writes. Under ThreadSanitizer this scope tells the sanitizer
// not to record the calling thread's memory accesses while it reads the frame (its ignore
// annotations), so that this one race is not reported however long the read takes; the camera's
// writes against any other reader, and everything outside such a read, are still checked.
// Elsewhere it does nothing.
#ifndef KORVEX_REGISTRY_RACY_FRAME_READ_H
#define KORVEX_REGISTRY_RACY_FRAME_READ_H

#if defined(__SANITIZE_THREAD__)
#define KORVEX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KORVEX_THREAD_SANITIZER 1
#endif
#endif

#ifdef KORVEX_THREAD_SANITIZER
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
#endif

namespace korvex {

// The constructor and destructor are written out in every build, so that no compiler takes the
// scope for an unused variable where they do nothing.
class RacyFrameRead {
public:
    RacyFrameRead() {
#ifdef KORVEX_THREAD_SANITIZER
        AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
#endif
    }
    ~RacyFrameRead() {
#ifdef KORVEX_THREAD_SANITIZER
        AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
#endif
    }
    RacyFrameRead(const RacyFrameRead&) = delete;
    RacyFrameRead& operator=(const RacyFrameRead&) = delete;
};

}  // namespace korvex

#endif
