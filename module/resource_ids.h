/* Resource ids of the registry scripts, shared by the resource script and
   the class table. */
#pragma once

#define IDR_CALSFORMAT 102
#define IDR_CALSFILE 103
#define IDR_CALSPREVIEW 104
