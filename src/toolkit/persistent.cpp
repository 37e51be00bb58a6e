#include "toolkit/persistent.h"

namespace nv::toolkit {

const ClassInfo& TPersistent::StaticClass() {
    static const ClassInfo info("TPersistent", nullptr);
    return info;
}

}  // namespace nv::toolkit
