# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check of cmake/PinvelLayers.cmake on small projects of its own: a link downwards
# configures, a link upwards or within a layer stops the configure step and names the pair.
#   cmake -DMODULE=.../PinvelLayers.cmake -DWORK=<folder> -P LayerCheckTest.cmake

if(NOT MODULE OR NOT WORK)
    message(FATAL_ERROR "MODULE and WORK must be given")
endif()
file(REMOVE_RECURSE "${WORK}")

set(failures "")

# Configures a project of INTERFACE libraries in layers low < middle < high with the given
# links; `expect` is PASS or FAIL, `pattern` what the output must hold when it fails.
function(configure_case name links expect pattern)
    set(dir "${WORK}/${name} project")
    file(MAKE_DIRECTORY "${dir}")
    file(WRITE "${dir}/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)
project(LayerCase LANGUAGES NONE)
set(PINVEL_LAYER_ORDER low middle high)
include(\"${MODULE}\")
add_library(lo INTERFACE)
add_library(mid INTERFACE)
add_library(mid2 INTERFACE)
add_library(hi INTERFACE)
add_library(outside INTERFACE)
add_library(ns::hi ALIAS hi)
${links}
pinvel_layer(low lo)
pinvel_layer(middle mid mid2)
pinvel_layer(high hi)
pinvel_check_layers()
")
    execute_process(COMMAND "${CMAKE_COMMAND}" -S "${dir}" -B "${dir}/build"
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(text "${out}${err}")
    if(expect STREQUAL "PASS" AND NOT result EQUAL 0)
        set(failures "${failures}\n${name}: should configure, failed:\n${text}" PARENT_SCOPE)
    elseif(expect STREQUAL "FAIL")
        if(result EQUAL 0)
            set(failures "${failures}\n${name}: should have stopped the configure step"
                PARENT_SCOPE)
        elseif(NOT text MATCHES "${pattern}")
            set(failures "${failures}\n${name}: no \"${pattern}\" in:\n${text}" PARENT_SCOPE)
        endif()
    endif()
endfunction()

# Arrows down, to a layer below or further below, and to libraries outside the layers.
configure_case(down "target_link_libraries(hi INTERFACE mid lo outside)
target_link_libraries(mid INTERFACE lo)" PASS "")
# Nothing linked at all.
configure_case(none "" PASS "")
# One layer up, two layers up, within a layer, and up through an alias.
configure_case(up "target_link_libraries(lo INTERFACE mid)" FAIL
               "lo \\(layer low\\) links mid \\(layer middle\\)")
configure_case(up_two "target_link_libraries(lo INTERFACE hi)" FAIL
               "lo \\(layer low\\) links hi \\(layer high\\)")
configure_case(same "target_link_libraries(mid INTERFACE mid2)" FAIL
               "mid \\(layer middle\\) links mid2 \\(layer middle\\)")
configure_case(alias "target_link_libraries(mid INTERFACE ns::hi)" FAIL
               "mid \\(layer middle\\) links hi \\(layer high\\)")
# A wrong link among right ones is still found, and every wrong one is named.
configure_case(among "target_link_libraries(hi INTERFACE mid lo)
target_link_libraries(lo INTERFACE outside hi)
target_link_libraries(mid2 INTERFACE hi)" FAIL
               "lo \\(layer low\\) links hi \\(layer high\\).*mid2 \\(layer middle\\) links hi")
# A layer nobody declared is refused.
configure_case(unknown "pinvel_layer(nowhere outside)" FAIL "No layer named \"nowhere\"")

file(REMOVE_RECURSE "${WORK}")
if(failures)
    message(FATAL_ERROR "Layer check:${failures}")
endif()
