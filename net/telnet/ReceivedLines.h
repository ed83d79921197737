// Cuts the data text of one received chunk into the pieces the reader hands
// over one at a time: each complete line, then what follows the last line end.
#pragma once

#include <string_view>
#include <vector>

// A line ends after LF, or after a CR that no LF follows (RFC 854 allows CR
// NUL as well as CR LF). Every byte is kept, in order; a chunk without line
// end, the empty one included, is one piece. `pieces` is emptied first and
// keeps its capacity, so a reader that reuses it allocates nothing per line;
// the views point into `text`.
void SplitAfterLineEnds(std::string_view text, std::vector<std::string_view>& pieces);
