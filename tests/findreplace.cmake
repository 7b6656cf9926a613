# Tests of find and replace.
