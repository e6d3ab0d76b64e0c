# Warning flags for every target of the project (not for third-party code).
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Woverloaded-virtual -Wimplicit-fallthrough)
if(REBKONTOR_WERROR)
    add_compile_options(-Werror)
endif()

# rebkontor_layer(<name> DEPENDS <layers...> [PUBLIC_LIBS <libs...>])
# A layer is every .cpp of its folder, built into one static library.
function(rebkontor_layer name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;PUBLIC_LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} ${ARG_PUBLIC_LIBS})
endfunction()
