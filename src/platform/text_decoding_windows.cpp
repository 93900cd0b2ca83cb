#include "platform/text_decoding.h"

namespace fennick {

// Names and texts go to the ANSI functions of Windows and the RFC library.
NarrowText PlatformNarrowText() { return NarrowText::Windows1252; }

}  // namespace fennick
