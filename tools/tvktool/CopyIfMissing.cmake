# Copies SOURCE to TARGET only when TARGET does not exist: the user's own file stays.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
    message(STATUS "Installed ${TARGET}")
endif()
