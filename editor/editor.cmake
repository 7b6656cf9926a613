# Sources of the document editor, added to the two libraries by the top-level CMakeLists.
set(VELLUMO_EDITOR_CORE_SOURCES
    editor/findreplace.cpp
    editor/searchtarget.h
    editor/stringsearchtarget.cpp
    editor/document.cpp
    editor/documentview.h
    editor/pagecodec.cpp
    editor/stringdocumentview.h
)
set(VELLUMO_EDITOR_GUI_SOURCES
    editor/finddialog.cpp
    editor/replacedialog.cpp
    editor/scintillasearchtarget.cpp
    editor/searchcontroller.cpp
    editor/browserview.cpp
    editor/scintilladocumentview.cpp
)
