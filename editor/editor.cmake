# Sources of the document editor, added to the two libraries by the top-level CMakeLists.
set(VELLUMO_EDITOR_CORE_SOURCES
)
set(VELLUMO_EDITOR_GUI_SOURCES
)
