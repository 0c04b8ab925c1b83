# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of the program's libraries, lowest first. A library may link only libraries of a
# lower layer (and outside ones such as Qt); the configure step stops when one links a library
# of its own layer or above, so the folders' rule "arrows point down" holds by itself.
#
#   pinvel_layer(LAYER TARGET...)  puts libraries in a layer of PINVEL_LAYER_ORDER (those not
#                                  built, such as the windows without the widgets, are skipped)
#   pinvel_check_layers()          checks every library put in a layer (once, after them all)

if(NOT DEFINED PINVEL_LAYER_ORDER)
    set(PINVEL_LAYER_ORDER
        core        # src/core
        language    # src/core's language of the texts (for the tools too)
        deviceapi   # src/hardware's interface to the device library
        devicelink  # src/kestrum's classes
        hardware    # src/hardware, src/kestrum's shared library
        check       # src/check
        records     # src/records
        report      # src/app/check's printable report
        ui          # src/ui: the window kit
        widgets     # src/workspace, src/dialogs
        checkui     # src/app/check: the records' windows, the check's window parts
        shell       # src/app: the program's services, the about box, the start-up
        mainwindow  # src/app: the main window
        program)    # src/app: the program entry
endif()

function(pinvel_layer layer)
    list(FIND PINVEL_LAYER_ORDER "${layer}" index)
    if(index LESS 0)
        message(FATAL_ERROR "No layer named \"${layer}\" (known: ${PINVEL_LAYER_ORDER})")
    endif()
    foreach(target IN LISTS ARGN)
        if(TARGET ${target})
            set_property(TARGET ${target} PROPERTY PINVEL_LAYER "${layer}")
            set_property(GLOBAL APPEND PROPERTY PINVEL_LAYERED_TARGETS ${target})
        endif()
    endforeach()
endfunction()

# The libraries a target names directly: what it links itself and what it hands on to its users.
function(_pinvel_linked_targets target out)
    set(names "")
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(linked ${target} ${property})
        if(linked)
            list(APPEND names ${linked})
        endif()
    endforeach()
    set(result "")
    foreach(name IN LISTS names)
        # A static library's private links come back as $<LINK_ONLY:name>.
        if(name MATCHES "^\\$<LINK_ONLY:([^>]+)>$")
            set(name "${CMAKE_MATCH_1}")
        endif()
        if(TARGET "${name}")
            get_target_property(aliased "${name}" ALIASED_TARGET)
            if(aliased)
                set(name "${aliased}")
            endif()
            list(APPEND result "${name}")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES result)
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(pinvel_check_layers)
    get_property(targets GLOBAL PROPERTY PINVEL_LAYERED_TARGETS)
    set(faults "")
    foreach(target IN LISTS targets)
        get_target_property(layer ${target} PINVEL_LAYER)
        list(FIND PINVEL_LAYER_ORDER "${layer}" own)
        _pinvel_linked_targets(${target} linked)
        foreach(other IN LISTS linked)
            get_target_property(other_layer ${other} PINVEL_LAYER)
            if(NOT other_layer)
                continue()
            endif()
            list(FIND PINVEL_LAYER_ORDER "${other_layer}" theirs)
            if(NOT theirs LESS own)
                string(APPEND faults
                       "\n  ${target} (layer ${layer}) links ${other} (layer ${other_layer})")
            endif()
        endforeach()
    endforeach()
    if(faults)
        message(FATAL_ERROR "A library links one of its own layer or above:${faults}\n"
                            "Arrows point down: see cmake/PinvelLayers.cmake and the folders' "
                            "README.md files.")
    endif()
endfunction()
