# Sources of the document editor, added to the two libraries by the top-level CMakeLists.
set(VELLUMO_EDITOR_CORE_SOURCES
    editor/document.cpp
    editor/documentview.h
    editor/pagecodec.cpp
    editor/stringdocumentview.h
)
set(VELLUMO_EDITOR_GUI_SOURCES
    editor/browserview.cpp
    editor/scintilladocumentview.cpp
)
