#pragma once
// A draw item with a property set: read access to the object's current animated values.

#include "scene/animation/animated_fields.h"
#include "scene/draw_item.h"
#include "scene/object_props.h"

namespace vyr {

class TVyrParams : public TDrawItem {
 public:
  explicit TVyrParams(TRef<TVyrObjectProps> props) : props_(std::move(props)) {}

  TVyrObjectProps& Props() const { return *props_; }
  float Value(int index) const { return props_->AnimatedValue(index); }
  float Opacity() const { return Value(kValueOpacity); }
  float PositionX() const { return Value(kValuePosX); }
  float PositionY() const { return Value(kValuePosY); }
  float ZPos() const { return Value(kValuePosZ); }
  float ScaleX() const { return Value(kValueScaleX); }
  float ScaleY() const { return Value(kValueScaleY); }
  float Angle() const { return Value(kValueAngle); }
  float AngleX() const { return Value(kValueAngleX); }
  float AngleY() const { return Value(kValueAngleY); }
  float CenterX() const { return Value(kValueCenterX); }
  float CenterY() const { return Value(kValueCenterY); }
  float Blur() const { return Value(kValueBlur); }
  float Zoom() const { return Value(kValueZoom); }
  float OffsX() const { return Value(kValueOffsX); }
  float OffsY() const { return Value(kValueOffsY); }

 protected:
  void Dispose() override { props_.Reset(); }

 private:
  TRef<TVyrObjectProps> props_;
};

}  // namespace vyr
