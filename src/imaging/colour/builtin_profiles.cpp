#include "imaging/colour/builtin_profiles.h"

#include <lcms2.h>

#include <cmath>

namespace vyr {

namespace {

std::vector<uint8_t> Save(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  std::vector<uint8_t> bytes;
  if (cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
    bytes.resize(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) bytes.clear();
  }
  cmsCloseProfile(profile);
  return bytes;
}

void SetText(cmsHPROFILE profile, cmsTagSignature tag, const char* text) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  cmsMLUsetASCII(mlu, "en", "US", text);
  cmsWriteTag(profile, tag, mlu);
  cmsMLUfree(mlu);
}

// Description first, so that it lands at the start of the tag data.
cmsHPROFILE DisplayProfile(const char* description) {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 2.1);
  cmsSetDeviceClass(profile, cmsSigDisplayClass);
  cmsSetColorSpace(profile, cmsSigRgbData);
  cmsSetPCS(profile, cmsSigXYZData);
  SetText(profile, cmsSigProfileDescriptionTag, description);
  SetText(profile, cmsSigCopyrightTag, "No copyright, use freely");
  return profile;
}

void SetColorants(cmsHPROFILE profile, const cmsCIEXYZ& white, const cmsCIEXYZ& r,
                  const cmsCIEXYZ& g, const cmsCIEXYZ& b, cmsToneCurve* curve) {
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, &white);
  cmsWriteTag(profile, cmsSigRedColorantTag, &r);
  cmsWriteTag(profile, cmsSigGreenColorantTag, &g);
  cmsWriteTag(profile, cmsSigBlueColorantTag, &b);
  cmsWriteTag(profile, cmsSigRedTRCTag, curve);
  cmsLinkTag(profile, cmsSigGreenTRCTag, cmsSigRedTRCTag);
  cmsLinkTag(profile, cmsSigBlueTRCTag, cmsSigRedTRCTag);
}

// Colorants of a display profile from xyY primaries, adapted to D50 (Bradford).
void ColorantsOf(const cmsCIExyY& white, const cmsCIExyYTRIPLE& primaries, cmsCIEXYZ out[3]) {
  cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
  cmsToneCurve* curves[3] = {linear, linear, linear};
  cmsHPROFILE tmp = cmsCreateRGBProfile(&white, &primaries, curves);
  const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                   cmsSigBlueColorantTag};
  for (int i = 0; i < 3; ++i) out[i] = *static_cast<cmsCIEXYZ*>(cmsReadTag(tmp, tags[i]));
  cmsCloseProfile(tmp);
  cmsFreeToneCurve(linear);
}

cmsToneCurve* SRGBCurve(int entries) {
  std::vector<cmsUInt16Number> table(entries);
  for (int i = 0; i < entries; ++i) {
    const double v = static_cast<double>(i) / (entries - 1);
    const double lin = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    table[i] = static_cast<cmsUInt16Number>(std::lround(lin * 65535.0));
  }
  return cmsBuildTabulatedToneCurve16(nullptr, entries, table.data());
}

const cmsCIExyY kD65 = {0.3127, 0.3290, 1.0};
const cmsCIEXYZ kD50 = {0.96420, 1.00000, 0.82491};

}  // namespace

std::vector<uint8_t> BuildSRGBIcc() {
  cmsHPROFILE profile = DisplayProfile("sRGB IEC61966-2.1");
  cmsCIEXYZ colorants[3];
  ColorantsOf(kD65, {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}}, colorants);
  cmsToneCurve* curve = SRGBCurve(1024);
  SetColorants(profile, kD50, colorants[0], colorants[1], colorants[2], curve);
  cmsFreeToneCurve(curve);
  return Save(profile);
}

std::vector<uint8_t> BuildAdobeRGBIcc() {
  cmsHPROFILE profile = DisplayProfile("Adobe RGB (1998)");
  cmsCIEXYZ colorants[3];
  ColorantsOf(kD65, {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}}, colorants);
  cmsToneCurve* curve = cmsBuildGamma(nullptr, 563.0 / 256.0);
  SetColorants(profile, kD50, colorants[0], colorants[1], colorants[2], curve);
  cmsFreeToneCurve(curve);
  return Save(profile);
}

std::vector<uint8_t> BuildRivedADEIcc() {
  cmsHPROFILE profile = DisplayProfile("RivedADE");
  cmsSetProfileVersion(profile, 2.4);
  cmsToneCurve* curve = SRGBCurve(129);
  SetColorants(profile, kD50, {0.38499, 0.71700, 0.09700}, {0.14301, 0.06100, 0.71400},
               {0.43600, 0.22200, 0.01401}, curve);
  cmsFreeToneCurve(curve);
  return Save(profile);
}

}  // namespace vyr
