// The Lumenox host product reads PRTG's document, without limits.
#include "output/form_xml.h"

namespace fennick {

extern const OutputForm kLumenoxForm = HostXmlForm("Lumenox");

}  // namespace fennick
