// The answer of a score request written straight from a Scored, without
// building a value tree first: its members in key order, each value by the
// JSON writer's rules.
#pragma once

#include <string>

#include "score/score.h"

namespace quorvel::score {

void write_answer(std::string& out, const Scored& scored);

}  // namespace quorvel::score
