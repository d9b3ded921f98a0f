#pragma once

#include "hart/HartLink.h"

// Reads the tag of the device recorded in the link: command 13 by long address for
// universal revision 5 and up, command 4 with data byte 1 by short frame for older ones.
// tag: at least 9 bytes, zeroed by the caller; on success it holds the 8 unpacked
// characters. On failure the buffer is left untouched.
bool ReadTag(CHartLink& link, char* tag);
