# Tests of find and replace.
vellumo_test(tst_findreplace SOURCES tst_findreplace.cpp LIBS vellumo_core LABEL core)
vellumo_test(tst_searchwindows SOURCES tst_searchwindows.cpp LIBS vellumo_gui LABEL gui)
