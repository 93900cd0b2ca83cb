// The Quimbel host product reads PRTG's document, without limits.
#include "output/form_xml.h"

namespace fennick {

extern const OutputForm kQuimbelForm = HostXmlForm("Quimbel");

}  // namespace fennick
