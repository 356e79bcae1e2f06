# Flags every target of ours links through one INTERFACE target, so a change
# of warnings or sanitizers is made in one place.
add_library(quorvel_flags INTERFACE)
target_compile_options(quorvel_flags INTERFACE -Wall -Wextra -Wpedantic)
# Wire text is Windows-1251 and the sources are UTF-8: every conversion from a
# char string to QString has to say which encoding it means.
target_compile_definitions(quorvel_flags INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
  QT_NO_FOREACH QT_DISABLE_DEPRECATED_BEFORE=0x060400
  $<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>)
if(QUORVEL_WERROR)
  target_compile_options(quorvel_flags INTERFACE -Werror)
endif()
if(QUORVEL_SANITIZE)
  target_compile_options(quorvel_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(quorvel_flags INTERFACE -fsanitize=address,undefined)
endif()
