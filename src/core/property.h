// property.h - the getter/setter pair every simulation object exposes.
//
// A property is `type NAME() const` plus `void NAME(type)`; the setter stores
// the value and triggers nothing else.
#pragma once

#define VP_PROPERTY(type, NAME, field)          \
  type NAME() const { return field; }           \
  void NAME(type value) { field = value; }
