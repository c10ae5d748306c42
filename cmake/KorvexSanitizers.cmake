# Sanitizers apply to the whole build so that the adapter, the stand-ins and the tests agree.
if(KORVEX_SANITIZE)
  string(REPLACE ";" "," _korvex_san "${KORVEX_SANITIZE}")
  add_compile_options(-fsanitize=${_korvex_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_korvex_san})
endif()

# The frame hand-over orders a camera's refill after the frame's publication, and an export's
# reads before its check, with standalone fences (the seqlock pattern). ThreadSanitizer does not
# model standalone fences and GCC warns of each; the one race they guard, an export reading a
# buffer the camera refills, is told to it where the read happens (registry/racy_frame_read.h).
if("thread" IN_LIST KORVEX_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wno-tsan)
endif()
