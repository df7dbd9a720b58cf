#pragma once
// The two ways a balloon's text is laid out, behind the cache of FukiTextLayout.
#include "FukiTextLayout.h"

namespace render {

void LayOutVertical(const SFukiTextRequest& request, SFukiTextLayout& layout);
void LayOutHorizontal(const SFukiTextRequest& request, SFukiTextLayout& layout);

} // namespace render
