#include "toolkit/application.h"

namespace nv::toolkit {

const ClassInfo& TApplication::StaticClass() {
    static const ClassInfo info("TApplication", &TComponent::StaticClass());
    return info;
}

TApplication& Application() {
    static TApplication application;
    return application;
}

}  // namespace nv::toolkit
