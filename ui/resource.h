// Resource ids, shared by the resource script and the code.
#pragma once

#define IDI_QUENDRAL 1
#define IDI_QUENDRAL_32 30001
#define IDI_QUENDRAL_16 30002
#define IDR_BACKGROUND 101
