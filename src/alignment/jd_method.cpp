#include "alignment/jd_method.h"

#include "alignment/alignment_error.h"

namespace survey::alignment {

JdLayout LayOutJd(const std::vector<JdInput>&) { throw AlignmentError("not yet"); }

}  // namespace survey::alignment
