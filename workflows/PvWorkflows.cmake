# Placeholder until the PV monitor lands.
add_library(tralvo_pv INTERFACE)
