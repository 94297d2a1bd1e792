# cardset_bench: opening "cardset.dll" and loading a card set into the image
# list. Included from table/CMakeLists.txt, beside the library it measures.
find_package(benchmark REQUIRED)
set(trisk_cardset_dll ${TRISK_OUTPUT_DIR}/cardset.dll)
add_executable(cardset_bench ${CMAKE_SOURCE_DIR}/bench/cardset_bench.cpp)
target_link_libraries(cardset_bench PRIVATE trisk_table benchmark::benchmark)
target_compile_definitions(cardset_bench PRIVATE TRISK_CARDSET_DLL="${trisk_cardset_dll}")
# cardset_dll is defined later, in cardset/; dependencies resolve at the end.
add_dependencies(cardset_bench cardset_dll)
