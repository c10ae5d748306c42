# Sanitizers apply to the whole build so that the adapter, the stand-ins and the tests agree.
if(KORVEX_SANITIZE)
  string(REPLACE ";" "," _korvex_san "${KORVEX_SANITIZE}")
  add_compile_options(-fsanitize=${_korvex_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_korvex_san})
endif()
