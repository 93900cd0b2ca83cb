#include "platform/text_decoding.h"

namespace fennick {

NarrowText PlatformNarrowText() { return NarrowText::Utf8; }

}  // namespace fennick
