#pragma once
// Colour-management cubes: the cube form of the colour lookups passed through a colour
// transform, and the lookup that brings a picture's embedded profile to the display's.

#include <memory>

#include "imaging/colour/color_profile.h"
#include "imaging/colour/color_transform.h"
#include "scene/filters/colour_lut.h"

namespace vyr {

// Passes every entry of the cube through the transform, in place.
void TransformCube(TColorLut& cube, TColorTransform& transform);

// The identity cube through the transform from the picture's profile to the display profile;
// none for a picture without a profile or when nothing converts (the display's own profile,
// a package without that table). Made once per profile and display for the current show's
// colour set-up: the photos of a camera share one.
std::shared_ptr<const TColorLut> PictureColourLookup(const TRef<TColorProfile>& profile,
                                                     const TRef<TColorProfile>& display);

}  // namespace vyr
