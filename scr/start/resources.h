// Resource numbers of the screensaver program (shared with resources.rc.in).
#pragma once

#define IDR_PREVIEW_PICTURE 101
