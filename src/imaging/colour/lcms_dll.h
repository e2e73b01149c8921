#pragma once
// The colour-management library: Little CMS 2, linked, so it is always loaded. The holder
// keeps the nine functions the transforms use in one place.

#include <lcms2.h>

#include <string>

namespace vyr {

struct TLcmsDll {
  std::string path = "lcms2 (linked)";
  bool loaded = true;
  decltype(&cmsGetColorSpace) GetColorSpace = cmsGetColorSpace;
  decltype(&cmsGetDeviceClass) GetDeviceClass = cmsGetDeviceClass;
  decltype(&cmsGetProfileInfo) GetProfileInfo = cmsGetProfileInfo;
  decltype(&cmsCloseProfile) CloseProfile = cmsCloseProfile;
  decltype(&cmsOpenProfileFromMem) OpenProfileFromMem = cmsOpenProfileFromMem;
  decltype(&cmsSetAdaptationState) SetAdaptationState = cmsSetAdaptationState;
  decltype(&cmsCreateTransform) CreateTransform = cmsCreateTransform;
  decltype(&cmsDoTransform) DoTransform = cmsDoTransform;
  decltype(&cmsDeleteTransform) DeleteTransform = cmsDeleteTransform;
};

// The process's one holder, made on first use.
const TLcmsDll& LcmsDll();

}  // namespace vyr
