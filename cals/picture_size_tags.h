// The read-only tags width, height and colordepth that a CALS file's
// rpelcnt record ("width,height" in pixels) yields.
#pragma once

#include <vector>

#include "cals/tag_model.h"

namespace cals {

// Empty unless `rpelcnt` is the rpelcnt tag with a comma in its value. A
// number that cannot be read counts as 0; the tags are made all the same.
std::vector<Tag> PictureSizeTags(const Tag& rpelcnt);

}  // namespace cals
