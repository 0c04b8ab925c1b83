# SPDX-License-Identifier: GPL-3.0-or-later
# Sanitizer builds apply to every target of the tree, Qt itself excepted.
if(PINVEL_SANITIZE)
    string(REPLACE "," ";" _san_list "${PINVEL_SANITIZE}")
    set(_san_flags "-fsanitize=${PINVEL_SANITIZE}" -fno-omit-frame-pointer -g)
    if("undefined" IN_LIST _san_list)
        list(APPEND _san_flags -fno-sanitize-recover=undefined)
    endif()
    add_compile_options(${_san_flags})
    add_link_options(-fsanitize=${PINVEL_SANITIZE})
endif()
