#include "bridge/procedures.h"

namespace ztq {

std::vector<ProcedureInfo>& procedures() {
  static std::vector<ProcedureInfo> list;
  return list;
}

const ProcedureInfo* find_procedure(const std::string& name) {
  for (const ProcedureInfo& p : procedures())
    if (p.name == name) return &p;
  return nullptr;
}

}  // namespace ztq
