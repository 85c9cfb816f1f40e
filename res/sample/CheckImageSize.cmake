# cmake -DIMAGE=FILE -P CheckImageSize.cmake: fails (and removes FILE) unless it holds 1 to
# 2048 bytes, what fits the 89C2051's flash. as31 checks no size; the program would send
# the whole file, and the device's flash ends at 2048.
file(SIZE "${IMAGE}" size)
if(size EQUAL 0)
  file(REMOVE "${IMAGE}")
  message(FATAL_ERROR "${IMAGE}: the image is empty")
endif()
if(size GREATER 2048)
  file(REMOVE "${IMAGE}")
  message(FATAL_ERROR "${IMAGE}: ${size} bytes, more than the 2048 bytes of the 89C2051's flash")
endif()
