#pragma once

// A short English name for a link result code ("ok", "no reply", ...), for traces and the
// line traffic; "unknown" for a code the link does not return.
const char* LinkResultName(unsigned result);
