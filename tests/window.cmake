# The collection window offscreen, on real folders with the real index and
# thumbnail cache (CollectionWindow*).
find_package(Qt6 REQUIRED COMPONENTS Test)
quorvel_test(NAME window_tests
    SOURCES window/window_test.cpp
    LIBS quorvel_ui Qt6::Test
    GUI)
