# RQ700_SANITIZE=address builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# RQ700_SANITIZE=thread with ThreadSanitizer.
if(RQ700_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(RQ700_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT RQ700_SANITIZE STREQUAL "")
  message(FATAL_ERROR "RQ700_SANITIZE must be empty, 'address' or 'thread'")
endif()
