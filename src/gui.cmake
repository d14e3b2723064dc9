# The Qt Widgets application: the document/view layer (uilib), the
# application and its frames (MainWnd), documents and report view
# (EditWnd), curve view (ControlEx) and every dialog (*Dlg.cpp) of the
# other areas.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts PrintSupport)

file(GLOB GUI_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/uilib/*.cpp
    ${CMAKE_SOURCE_DIR}/src/MainWnd/*.cpp
    ${CMAKE_SOURCE_DIR}/src/EditWnd/*.cpp
    ${CMAKE_SOURCE_DIR}/src/ControlEx/*.cpp
    ${CMAKE_SOURCE_DIR}/src/*/*Dlg.cpp)
list(FILTER GUI_SOURCES EXCLUDE REGEX "/src/MainWnd/main\\.cpp$")
list(REMOVE_DUPLICATES GUI_SOURCES)

add_library(vantrel_gui STATIC ${GUI_SOURCES})
target_include_directories(vantrel_gui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(vantrel_gui PUBLIC vantrel_core Qt6::Widgets Qt6::Charts Qt6::PrintSupport)

add_executable(vantrel ${CMAKE_SOURCE_DIR}/src/MainWnd/main.cpp)
target_link_libraries(vantrel PRIVATE vantrel_gui)
target_compile_definitions(vantrel PRIVATE VANTREL_VERSION="${PROJECT_VERSION}")
# The application runs from the build folder too, with its data beside it.
add_dependencies(vantrel vantrel_data)

# The window's benchmark: a program of its own, since it needs a
# QApplication before anything else runs.
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/gui/gui_bench.cpp)
    add_executable(vantrel_gui_bench
        ${CMAKE_SOURCE_DIR}/bench/gui/gui_bench.cpp ${CMAKE_SOURCE_DIR}/bench/bench_support.cpp)
    target_link_libraries(vantrel_gui_bench PRIVATE vantrel_gui PkgConfig::SQLITE3)
    add_dependencies(vantrel_gui_bench vantrel_data)
endif()
