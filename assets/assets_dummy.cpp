// Holds the compiled-in pictures (see CMakeLists.txt).
