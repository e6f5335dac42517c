# The parsers of statement and connection-string text, apart from the rest of the data-access layer
# so that the unit tests and the fuzz targets link them alone.
add_library(orvane_ado_parsers STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Statement.cpp ${CMAKE_CURRENT_LIST_DIR}/Statement.h
    ${CMAKE_CURRENT_LIST_DIR}/ConnectionString.cpp ${CMAKE_CURRENT_LIST_DIR}/ConnectionString.h
    ${CMAKE_CURRENT_LIST_DIR}/DatabaseError.h
)
target_include_directories(orvane_ado_parsers PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(orvane_ado_parsers PUBLIC Qt6::Core)
