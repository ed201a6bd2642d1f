#include "shared/VS_Common_Types.h"

void TStartXmlObject::clear() {
    *this = TStartXmlObject{};
}
