// Resource numbers shared by the resource script and the code that loads the
// resources. Plain #defines, since the resource compiler reads this file too.
#pragma once

// The usage window's banner artwork, a 371 x 85 JPEG stored as RCDATA.
#define WM_RESOURCE_BANNER 101
