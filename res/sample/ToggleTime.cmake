# cmake -DSOURCE=blink.asm -DOUTPUT=FILE -P ToggleTime.cmake: writes to FILE the time
# between two toggles of P1.0, in milliseconds, that the delay loop of blink.asm gives
# with a 12 MHz crystal (one machine cycle = 12 clock periods = 1 us). The loop's
# constants come from the source; the cycle formula is the one its header explains:
# 8 + OUTER * (3 + 2 * INNER) cycles.
file(STRINGS "${SOURCE}" lines REGEX "^[ \t]*\\.equ[ \t]+(OUTER|INNER)[ \t]*,")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*\\.equ[ \t]+(OUTER|INNER)[ \t]*,[ \t]*([0-9]+)[ \t]*(;.*)?$")
    set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  else()
    message(FATAL_ERROR "${SOURCE}: a loop constant that is no decimal number: ${line}")
  endif()
endforeach()
foreach(name OUTER INNER)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "${SOURCE}: no .equ ${name}")
  endif()
  # DJNZ counts a register from its start value down to 0; 0 would mean 256 rounds.
  if(${name} LESS 1 OR ${name} GREATER 255)
    message(FATAL_ERROR "${SOURCE}: ${name} is ${${name}}, not 1 to 255")
  endif()
endforeach()
math(EXPR cycles "8 + ${OUTER} * (3 + 2 * ${INNER})")
math(EXPR whole "${cycles} / 1000")
math(EXPR part "${cycles} % 1000 + 1000")
string(SUBSTRING "${part}" 1 3 part)
file(WRITE "${OUTPUT}" "${whole}.${part}\n")
