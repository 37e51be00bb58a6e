#pragma once
// The wizard's pictures as the component model holds them: pixels read back from the GDI
// drawings.

#include "wizard/installer_form.h"

namespace nv::wizard {

// Draws the background and the five step numbers and returns their pixels.
WizardPictures LoadWizardPictures();

}  // namespace nv::wizard
