# Fails when the README's C example differs from tests/c/host_example.c.
file(READ ${README} readme)
file(READ ${EXAMPLE} example)
string(FIND "${readme}" "```c\n${example}```" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md's C example differs from ${EXAMPLE}")
endif()
