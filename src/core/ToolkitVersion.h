#pragma once

// The running toolkit's version as major × 10000 + minor × 100 + patch (6.4.2 gives 60402).
int Get_OS_Version();
