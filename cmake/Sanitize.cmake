# RQ700_SANITIZE=address builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# RQ700_SANITIZE=thread with ThreadSanitizer. RQ700_FUZZ adds libFuzzer's coverage to
# both of the first (the fuzz programs link libFuzzer itself).
if(RQ700_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "RQ700_FUZZ needs clang (CXX=clang++)")
  endif()
  if(RQ700_BUILD_GUI OR RQ700_BUILD_TESTS OR RQ700_BUILD_BENCH)
    message(FATAL_ERROR "RQ700_FUZZ builds the core only: add -DRQ700_BUILD_GUI=OFF -DRQ700_BUILD_TESTS=OFF -DRQ700_BUILD_BENCH=OFF")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(RQ700_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(RQ700_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT RQ700_SANITIZE STREQUAL "")
  message(FATAL_ERROR "RQ700_SANITIZE must be empty, 'address' or 'thread'")
endif()
