#include "shared/VS_Common_Types.h"

namespace shared {

void TStartXmlObject::clear() {
    *this = TStartXmlObject{};
}

} // namespace shared
