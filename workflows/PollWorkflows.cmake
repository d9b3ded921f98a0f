# Placeholder until the poll test lands.
add_library(tralvo_workflows INTERFACE)
