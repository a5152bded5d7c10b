#include "platform/runtime/Variant.h"

namespace rt {

VarType Variant::Type() const {
  static constexpr VarType kTypes[] = {VarType::Empty, VarType::Integer, VarType::Long,   VarType::Single,
                                       VarType::Double, VarType::Date,   VarType::String, VarType::Boolean};
  return kTypes[v_.index()];
}

bool Variant::IsNumber() const {
  const VarType t = Type();
  return t == VarType::Integer || t == VarType::Long || t == VarType::Single || t == VarType::Double;
}

}  // namespace rt
