# A piece the folder's list would include.
add_library(tralvo_lower STATIC Lower.h)
target_link_libraries(tralvo_lower PUBLIC tralvo_upper)
