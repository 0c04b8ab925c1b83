# SPDX-License-Identifier: GPL-3.0-or-later
# The open unit's firmware, built by its own toolchain as a sub-project when avr-gcc is installed
# (scripts/deps.sh installs it), and its simulated board when libsimavr is. The firmware's ELF and
# .hex land in the build's firmware/ folder.
include(ExternalProject)

# The firmware's logic for the host: its tests, and the simulated board's pin map.
include(${PROJECT_SOURCE_DIR}/firmware/logic.cmake)
add_library(pinvel_firmware_logic STATIC ${PINVEL_FIRMWARE_LOGIC})
target_include_directories(pinvel_firmware_logic PUBLIC ${PINVEL_FIRMWARE_LOGIC_INCLUDE})
set_target_properties(pinvel_firmware_logic PROPERTIES AUTOMOC OFF)
target_compile_options(pinvel_firmware_logic PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
if(PINVEL_WERROR)
    target_compile_options(pinvel_firmware_logic PRIVATE -Werror)
endif()

find_program(PINVEL_AVR_GCC avr-gcc)
set(PINVEL_FIRMWARE_DIR ${CMAKE_BINARY_DIR}/firmware)
set(PINVEL_FIRMWARE_ELF ${PINVEL_FIRMWARE_DIR}/pinvel-unit-firmware.elf)
set(PINVEL_FIRMWARE_HEX ${PINVEL_FIRMWARE_DIR}/pinvel-unit-firmware.hex)
if(PINVEL_AVR_GCC)
    ExternalProject_Add(firmware
        SOURCE_DIR ${PROJECT_SOURCE_DIR}/firmware
        BINARY_DIR ${PINVEL_FIRMWARE_DIR}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/firmware/cmake/avr-gcc.cmake
                   -DPINVEL_WERROR=${PINVEL_WERROR} -DCMAKE_BUILD_TYPE=Release
        CMAKE_GENERATOR Ninja
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${PINVEL_FIRMWARE_ELF} ${PINVEL_FIRMWARE_HEX})
    set(PINVEL_HAVE_FIRMWARE ON)
else()
    message(STATUS "avr-gcc not found: the unit's firmware is not built")
    set(PINVEL_HAVE_FIRMWARE OFF)
endif()

find_path(SIMAVR_INCLUDE_DIR sim_avr.h PATHS /usr/include/simavr)
find_library(SIMAVR_LIBRARY simavr)
find_library(SIMAVR_PARTS_LIBRARY simavrparts)
find_library(ELF_LIBRARY elf)
if(SIMAVR_INCLUDE_DIR AND SIMAVR_LIBRARY AND SIMAVR_PARTS_LIBRARY AND ELF_LIBRARY)
    set(PINVEL_HAVE_SIMAVR ON)
else()
    message(STATUS "libsimavr not found: pinvel-avrsim is not built")
    set(PINVEL_HAVE_SIMAVR OFF)
endif()
