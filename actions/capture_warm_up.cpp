#include "actions/capture_warm_up.h"

#include "core/form1.h"

namespace quelvex {

void CaptureWarmUp::applyChanges(const FaceChanges&) {
    const bool armed = form_.state().captureOption == 1 && form_.actionArmed();
    if (armed && !armed_) grab_.prepare();
    armed_ = armed;
}

} // namespace quelvex
