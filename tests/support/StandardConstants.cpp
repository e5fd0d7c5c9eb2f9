#include "StandardConstants.h"

namespace gustrule {

SharedConstants Standard() {
  SharedConstants constants;
  SetSharedConstants(constants);
  return constants;
}

} // namespace gustrule
