# Reports the size of a built program and fails when it is over its limit:
#   cmake -DFILE=<program> -DLIMIT=<bytes> -DCHECK=<1 to enforce the limit> -P report-size.cmake
file(SIZE "${FILE}" size)
get_filename_component(name "${FILE}" NAME)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR limit_kib "${LIMIT} / 1024")
message(STATUS "${name}: ${size} bytes (${kib} KiB; limit ${limit_kib} KiB)")
if(CHECK AND size GREATER LIMIT)
    message(FATAL_ERROR "${name} is ${size} bytes, over its limit of ${LIMIT}")
endif()
