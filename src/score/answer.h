// The answer of a score request written straight from a Scored: the text that
// writing Scored::to_json() gives, without building the value tree first.
// Both take the answer's members from one list.
#pragma once

#include <string>

#include "score/score.h"

namespace quorvel::score {

void write_answer(std::string& out, const Scored& scored);

}  // namespace quorvel::score
